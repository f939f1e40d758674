#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <cstdint>
#include <vector>
#include <vips/vips8>

#include "CubicScaler.h"
#include "ImagingPictures.h"
#include "JpegStream.h"
#include "PictureSource.h"
#include "TestPictures.h"

// The cubic scaler against libvips' cubic reduction, and the JPEG decoder that
// feeds it row by row from a second thread against scaling the whole decode.
namespace trimora {
namespace {

using imaging::CubicScaler;
using Bytes = std::vector<std::uint8_t>;

Bytes PackedRgb(const QImage& image) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
  Bytes bytes;
  for (int y = 0; y < rgb.height(); ++y) {
    const auto* line = rgb.constScanLine(y);
    bytes.insert(bytes.end(), line, line + rgb.width() * 3);
  }
  return bytes;
}

Bytes ScaleWhole(const Bytes& in, QSize from, QSize to) {
  CubicScaler scaler(from, to);
  Bytes out(std::size_t(to.width()) * to.height() * 3);
  for (int y = 0; y < to.height(); ++y) {
    scaler.makeRow(
        y, [&](int i) { return in.data() + std::size_t(i) * from.width() * 3; },
        out.data() + std::size_t(y) * to.width() * 3);
  }
  return out;
}

Bytes VipsCubic(const Bytes& in, QSize from, QSize to) {
  vips::VImage image =
      vips::VImage::new_from_memory(const_cast<std::uint8_t*>(in.data()), in.size(), from.width(),
                                    from.height(), 3, VIPS_FORMAT_UCHAR);
  image = image.resize(double(to.width()) / from.width(),
                       vips::VImage::option()
                           ->set("vscale", double(to.height()) / from.height())
                           ->set("kernel", VIPS_KERNEL_CUBIC)
                           ->set("gap", 0.0));
  size_t size = 0;
  void* data = image.write_to_memory(&size);
  Bytes out(static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + size);
  g_free(data);
  return out;
}

TEST(CubicScaler, ReducesAsTheLibraryDoesAndEnlargesCentred) {
  ASSERT_TRUE(imaging::ensureVips());
  // A photo-like picture: smooth ramps under fine detail.
  const QImage picture = testing::PatternImage(600, 400, 3);
  const Bytes in = PackedRgb(picture);
  for (QSize to : {QSize(200, 133), QSize(240, 160), QSize(300, 400), QSize(37, 11)}) {
    SCOPED_TRACE(to.width());
    const Bytes ours = ScaleWhole(in, picture.size(), to);
    const Bytes theirs = VipsCubic(in, picture.size(), to);
    ASSERT_EQ(ours.size(), theirs.size());
    double total = 0;
    for (std::size_t i = 0; i < ours.size(); ++i) total += std::abs(ours[i] - theirs[i]);
    EXPECT_LT(total / double(ours.size()), 1.0);
  }
  EXPECT_TRUE(ScaleWhole(in, picture.size(), picture.size()) == in);

  // Enlarged twice, a one-pixel line covers the two output pixels over it
  // alike, with the cubic's overshoot beside them.
  Bytes line(8 * 3, 0);
  std::fill_n(line.begin() + 9, 3, 200);
  const Bytes wide = ScaleWhole(line, {8, 1}, {16, 1});
  EXPECT_EQ(wide[6 * 3], wide[7 * 3]);
  EXPECT_GT(wide[6 * 3], 150);
  EXPECT_EQ(wide[5 * 3], wide[8 * 3]);
  EXPECT_EQ(wide[3 * 3], 0);
  EXPECT_EQ(wide[12 * 3], 0);

  // Weights sum to one everywhere, the edges included, at any size.
  const Bytes grey(std::size_t(7) * 5 * 3, 77);
  for (QSize to : {QSize(1, 1), QSize(3, 2), QSize(7, 5), QSize(20, 31)}) {
    for (std::uint8_t v : ScaleWhole(grey, QSize(7, 5), to)) ASSERT_EQ(v, 77) << to.width();
  }
}

// libjpeg and TurboJPEG are one decoder, so the streamed result must equal the
// whole decode scaled in one go, byte for byte, whatever the ring does.
TEST(JpegStream, StreamedRowsEqualScalingTheWholeDecode) {
  QTemporaryDir dir;
  const QString path = testing::WritePicture(dir.filePath("tall.jpg"), 180, 1600, 4);
  ASSERT_FALSE(path.isEmpty());
  const QByteArray jpeg = testing::ReadBytes(path);
  tjhandle decoder = tjInitDecompress();
  struct Case {
    int shrink;
    QSize size;
  };
  for (Case c : {Case{1, {60, 40}}, Case{1, {180, 1}}, Case{2, {45, 400}}, Case{4, {45, 400}},
                 Case{8, {60, 500}}, Case{8, {23, 200}}}) {
    SCOPED_TRACE(c.shrink * 10000 + c.size.height());
    const QSize scaled((180 + c.shrink - 1) / c.shrink, (1600 + c.shrink - 1) / c.shrink);
    Bytes whole(std::size_t(scaled.width()) * scaled.height() * 3);
    ASSERT_EQ(
        tjDecompress2(decoder, reinterpret_cast<const unsigned char*>(jpeg.constData()),
                      jpeg.size(), whole.data(), scaled.width(), 0, scaled.height(), TJPF_RGB, 0),
        0);
    Bytes streamed;
    ASSERT_EQ(
        imaging::decodeJpegScaled(QFile::encodeName(path), c.shrink, scaled, c.size, streamed),
        imaging::JpegOutcome::Decoded);
    EXPECT_TRUE(streamed == ScaleWhole(whole, scaled, c.size));
  }
  tjDestroy(decoder);
}

TEST(JpegStream, RefusesOrHandsOnWhatItCannotDecodeAndLeavesTheOutput) {
  QTemporaryDir dir;
  const QString good = testing::WritePicture(dir.filePath("good.jpg"), 300, 200, 1);
  const QByteArray bytes = testing::ReadBytes(good);
  const QString cut = dir.filePath("cut.jpg");
  ASSERT_TRUE(testing::WriteBytes(cut, bytes.left(bytes.size() * 2 / 3)));
  const QString cmyk = dir.filePath("cmyk.jpg");
  ASSERT_TRUE(testing::WritePictureAs(testing::Kind::Cmyk, testing::PatternImage(300, 200), cmyk));

  // A file cut short is refused outright (no other reader can supply what it
  // lacks); CMYK and a size other than the header's go to the general reader.
  using imaging::JpegOutcome;
  const Bytes before = {1, 2, 3};
  struct Case {
    QString path;
    QSize scaled;
    JpegOutcome outcome;
  };
  for (const Case& c :
       {Case{cut, {300, 200}, JpegOutcome::Unreadable}, Case{cmyk, {300, 200}, JpegOutcome::HandOn},
        Case{good, {300, 199}, JpegOutcome::HandOn},
        Case{dir.filePath("none.jpg"), {300, 200}, JpegOutcome::Unreadable}}) {
    SCOPED_TRACE(c.path.toStdString());
    Bytes out = before;
    EXPECT_EQ(imaging::decodeJpegScaled(QFile::encodeName(c.path), 1, c.scaled, {100, 67}, out),
              c.outcome);
    EXPECT_EQ(out, before);
  }
  Bytes out;
  EXPECT_EQ(imaging::decodeJpegScaled(QFile::encodeName(good), 1, {300, 200}, {100, 67}, out),
            JpegOutcome::Decoded);
  EXPECT_EQ(out.size(), std::size_t(100 * 67 * 3));
}

}  // namespace
}  // namespace trimora
