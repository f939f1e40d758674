#include <gtest/gtest.h>

#include <QImage>
#include <cstring>
#include <tuple>

#include "Bitmap24.h"
#include "TestPictures.h"

// The 24-bit bitmap: its memory layout, handles, blits and resampling.
namespace trimora {
namespace {

// Byte k (0 blue, 1 green, 2 red) of pixel x in memory row r (0 = bottom row).
std::uint8_t& At(Bitmap24& dib, int x, int memoryRow, int k) {
  return dib.bits()[memoryRow * dib.bytesPerLine() + 3 * x + k];
}

// The same pixels; the padding at the end of each row is not compared.
bool SamePixels(const Bitmap24& a, const Bitmap24& b) {
  if (a.size() != b.size()) return false;
  for (int row = 0; row < a.height(); ++row) {
    const std::ptrdiff_t at = std::ptrdiff_t(row) * a.bytesPerLine();
    if (std::memcmp(a.constBits() + at, b.constBits() + at, std::size_t(a.width()) * 3) != 0)
      return false;
  }
  return true;
}

TEST(Bitmap24Layout, PaddedRowsBottomUpInBlueGreenRed) {
  Bitmap24 dib;
  const std::tuple<int, int> cases[] = {{1, 4}, {2, 8}, {3, 12}, {4, 12}, {5, 16}, {101, 304}};
  for (auto [w, stride] : cases) {
    ASSERT_TRUE(dib.create({w, 50}));
    EXPECT_EQ(dib.bytesPerLine(), stride) << w;
    EXPECT_EQ(dib.header().imageSize, std::uint32_t(stride * 50)) << w;
    EXPECT_EQ(dib.header().height, 50);  // positive: bottom-up
  }
  // Any picture format is converted, alpha dropped.
  const QImage picture = testing::PatternImage(641, 480, 2);
  for (QImage::Format format : {QImage::Format_ARGB32, QImage::Format_RGB888}) {
    dib.createFromImage(picture.convertToFormat(format));
    ASSERT_EQ(dib.size(), QSize(641, 480));
    for (QPoint p : {QPoint(0, 0), QPoint(640, 0), QPoint(0, 479), QPoint(321, 123)}) {
      const QRgb c = picture.pixel(p);
      const int memoryRow = 480 - 1 - p.y();
      EXPECT_EQ(At(dib, p.x(), memoryRow, 0), qBlue(c));
      EXPECT_EQ(At(dib, p.x(), memoryRow, 1), qGreen(c));
      EXPECT_EQ(At(dib, p.x(), memoryRow, 2), qRed(c));
    }
  }
}

TEST(Bitmap24Layout, HandlesLiveWithThePixelsAndSizeOutlivesThem) {
  Bitmap24 dib;
  ASSERT_TRUE(dib.create({30, 20}));
  EXPECT_NE(dib.surfaceHandle(), 0u);
  EXPECT_NE(dib.bitmapHandle(), 0u);
  dib.clear();
  EXPECT_EQ(dib.surfaceHandle() | dib.bitmapHandle(), 0u);
  EXPECT_EQ(dib.constBits(), nullptr);
  EXPECT_EQ(dib.size(), QSize(30, 20));
  for (QSize refused : {QSize(0, 10), QSize(10, -1), QSize(1 << 30, 1 << 30)}) {
    EXPECT_FALSE(dib.create(refused));
    EXPECT_EQ(dib.surfaceHandle(), 0u);
  }
  dib.createFromImage(QImage());
  EXPECT_EQ(dib.constBits(), nullptr);
  // Pixels refused by a new size are not left under the new header.
  Bitmap24 other;
  ASSERT_TRUE(dib.create({10, 10}) && other.create({10, 10}));
  EXPECT_EQ(dib.allocatePixels({30000, 30000}), 0u);
  EXPECT_EQ(dib.constBits(), nullptr);
  EXPECT_FALSE(dib.copyFrom(testing::PatternImage(100, 100)));
  EXPECT_FALSE(other.paintOnto(dib.surfaceHandle()));
}

TEST(Bitmap24Blit, CopiesBetweenBitmapsAndPicturesClipped) {
  const QImage picture = testing::PatternImage(40, 30, 6);
  Bitmap24 a, b, c;
  a.createFromImage(picture);
  ASSERT_TRUE(b.create({10, 10}));
  // From (35, 25) only 5 x 5 pixels exist; the rest of b is left alone.
  std::memset(b.bits(), 0x11, b.header().imageSize);
  ASSERT_TRUE(b.copyFrom(a.surfaceHandle(), {35, 25}));
  QImage out(10, 10, QImage::Format_RGB32);
  ASSERT_TRUE(b.paintOnto(out));
  EXPECT_EQ(out.pixel(0, 0), picture.pixel(35, 25));
  EXPECT_EQ(out.pixel(4, 4), picture.pixel(39, 29));
  EXPECT_EQ(out.pixel(5, 5), qRgb(0x11, 0x11, 0x11));
  // Straight from a picture, and back into one at an offset.
  ASSERT_TRUE(b.copyFrom(picture, {3, 4}));
  QImage canvas(20, 20, QImage::Format_RGB32);
  canvas.fill(Qt::black);
  ASSERT_TRUE(b.paintOnto(canvas, {15, 15}));
  EXPECT_EQ(canvas.pixel(15, 15), picture.pixel(3, 4));
  EXPECT_EQ(canvas.pixel(19, 19), picture.pixel(7, 8));
  EXPECT_EQ(canvas.pixel(14, 14), qRgb(0, 0, 0));
  // XOR twice restores; unknown surfaces are refused.
  c.createFromImage(picture);
  ASSERT_TRUE(c.copyFrom(a.surfaceHandle(), {}, {}, RasterOp::Xor));
  EXPECT_EQ(At(c, 7, 7, 1), 0);
  ASSERT_TRUE(c.copyFrom(a.surfaceHandle(), {}, {}, RasterOp::Xor));
  EXPECT_TRUE(SamePixels(c, a));
  EXPECT_FALSE(c.copyFrom(SurfaceHandle(0)));
  EXPECT_FALSE(c.copyFrom(a.bitmapHandle()));
}

TEST(Bitmap24Resample, CopiesAtTheSameSizeAndInterpolatesBilinearly) {
  Bitmap24 source, empty;
  source.createFromImage(testing::PatternImage(13, 7, 1));
  const auto copy = source.resampled({13, 7}), wider = source.resampled({20, 7});
  ASSERT_TRUE(copy && wider);
  EXPECT_NE(copy->surfaceHandle(), source.surfaceHandle());
  EXPECT_TRUE(SamePixels(*copy, source));
  EXPECT_EQ(wider->size(), QSize(20, 7));
  EXPECT_FALSE(source.resampled({5, 0}));
  EXPECT_FALSE(empty.resampled({4, 4}));

  // Blue bytes in memory order: row 0 = {0, 100}, row 1 = {5, 255}. Steps of
  // 0.25; row 2: left = nearest(2.5) = 2, right = nearest(177.5) = 178; row 3,
  // column 3: left 4, right 216, nearest(0.25 * 4 + 0.75 * 216) = 163.
  ASSERT_TRUE(source.create({2, 2}));
  std::memset(source.bits(), 0, source.header().imageSize);
  At(source, 1, 0, 0) = 100, At(source, 0, 1, 0) = 5, At(source, 1, 1, 0) = 255;
  const auto target = source.resampled({4, 4});
  ASSERT_TRUE(target);
  const std::tuple<int, int, int> cases[] = {{0, 0, 0}, {1, 0, 25}, {2, 0, 50}, {3, 0, 75},
                                             {0, 2, 2}, {1, 2, 46}, {2, 2, 90}, {3, 3, 163}};
  for (auto [x, row, blue] : cases) {
    EXPECT_EQ(At(*target, x, row, 0), blue) << x << "," << row;
  }
  EXPECT_EQ(At(*target, 3, 3, 1), 0);

  // A source one pixel wide repeats its last column.
  ASSERT_TRUE(source.create({1, 3}));
  std::memset(source.bits(), 60, source.header().imageSize);
  const auto wide = source.resampled({8, 1});
  ASSERT_TRUE(wide);
  for (int x = 0; x < 8; ++x) EXPECT_EQ(At(*wide, x, 0, 2), 60) << x;
}

}  // namespace
}  // namespace trimora
