// libvips first: glib's headers use names that Qt defines as macros.
#include <vips/vips8>

#include <gtest/gtest.h>
#include <lcms2.h>
#include <sys/stat.h>

#include <QBuffer>
#include <QPainter>
#include <QTemporaryDir>
#include <QTransform>
#include <QtEndian>
#include <ctime>

#include "Bitmap24.h"
#include "ColourProfile.h"
#include "DecodeBudget.h"
#include "HostilePictures.h"
#include "PictureLoader.h"
#include "PictureSource.h"
#include "WorkspaceFixture.h"

// The canvas and fit rules, then every format, variant and hostile file drawn upright or refused
// with its reason, within the memory and time bounds.
namespace trimora {
namespace {

using testing::HostileFile;
using Expect = HostileFile::Expect;

TEST(PictureGeometry, CanvasFitAndDecodingScaleOnSizesAlone) {
  // clang-format off
  // Picture, request, cap: canvas.
  for (auto [picture, request, cap, canvas] : {std::tuple<QSize, QSize, int, QSize>
           {{3000, 1500}, {-1, 700}, 2000, {2000, 700}}, {{3000, 1500}, {-1, -1}, -5, {3000, 1500}},
           {{800, 600}, {2500, 100}, 2000, {2000, 100}}, {{10, 10}, {-2, 2001}, 2000, {-2, 2000}}})
    EXPECT_EQ(canvasSizeFor(picture, request, cap), canvas) << request.width() << " cap " << cap;
  // Picture on canvas: fitted, centred, every figure rounded half to even.
  for (auto [picture, canvas, fit] : {std::tuple<QSize, QSize, QRect>
           {{800, 600}, {401, 300}, {0, 0, 400, 300}}, {{800, 600}, {403, 300}, {2, 0, 400, 300}},
           {{800, 600}, {400, 300}, {0, 0, 400, 300}}, {{200, 100}, {5, 5}, {0, 2, 5, 2}},
           {{100, 200}, {5, 5}, {2, 0, 2, 5}}, {{1, 20000}, {1, 2000}, {0, 0, 0, 2000}}})
    EXPECT_EQ(fitRect(picture, canvas, Qt::KeepAspectRatio), fit) << canvas.width();
  // Stored size, target: the JPEG DCT scale that leaves at least twice the target.
  for (auto [stored, target, shrink] : {std::tuple<QSize, QSize, int>
           {{800, 800}, {100, 100}, 4}, {{800, 800}, {101, 100}, 2}, {{200, 98}, {50, 25}, 1},
           {{1600, 1600}, {100, 100}, 8}})
    EXPECT_EQ(imaging::jpegShrinkFor(stored, target), shrink) << stored.height();
  // clang-format on
}

QByteArray qtFile(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  return buffer.open(QIODevice::WriteOnly) && image.save(&buffer, format) ? bytes : QByteArray();
}

// Decoded into libvips' own memory: the PNG it came from goes.
vips::VImage vipsImage(const QImage& image) {
  const QByteArray png = qtFile(image, "png");
  return vips::VImage::new_from_buffer(png.constData(), size_t(png.size()), "").copy_memory();
}

// Saved by libvips (the suffix with options picks the saver), in CMYK (through libvips' own
// press profile, which the file then carries) or with an EXIF orientation.
QByteArray vipsFile(const QImage& image, const char* suffix, int orientation = 0,
                    bool cmyk = false) {
  vips::VImage v = vipsImage(image);
  if (cmyk) v = v.colourspace(VIPS_INTERPRETATION_CMYK);
  if (orientation != 0) v.set("orientation", orientation);
  return testing::vipsSaved(v, suffix);
}

QByteArray savedProfile(cmsHPROFILE profile);

// An RGB profile made by lcms2: D65 white, these primaries, and the sRGB curve (gamma < 0) or a
// plain gamma.
QByteArray rgbProfile(cmsCIExyYTRIPLE primaries, double gamma) {
  const cmsFloat64Number srgbCurve[5] = {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045};
  cmsToneCurve* curve = gamma < 0 ? cmsBuildParametricToneCurve(nullptr, 4, srgbCurve)
                                  : cmsBuildGamma(nullptr, gamma);
  cmsToneCurve* curves[3] = {curve, curve, curve};
  const cmsCIExyY d65 = {0.3127, 0.3290, 1.0};
  const QByteArray bytes = savedProfile(cmsCreateRGBProfile(&d65, &primaries, curves));
  cmsFreeToneCurve(curve);
  return bytes;
}

QByteArray savedProfile(cmsHPROFILE profile) {
  cmsUInt32Number size = 0;
  cmsSaveProfileToMem(profile, nullptr, &size);
  QByteArray bytes(qsizetype(size), '\0');
  cmsSaveProfileToMem(profile, bytes.data(), &size);
  cmsCloseProfile(profile);
  return bytes;
}
QByteArray displayP3() {
  return rgbProfile({{0.680, 0.320, 1}, {0.265, 0.690, 1}, {0.150, 0.060, 1}}, -1);
}
QByteArray adobeRgb() {
  return rgbProfile({{0.64, 0.33, 1}, {0.21, 0.71, 1}, {0.15, 0.06, 1}}, 563 / 256.0);
}

// What libvips' own conversion to sRGB (relative colorimetric, from the profile the file carries)
// makes of a file: the reference a drawing must match.
QImage srgbReference(const QByteArray& file) {
  const vips::VImage srgb = vips::VImage::new_from_buffer(file.constData(), size_t(file.size()), "")
                                .icc_transform("srgb", vips::VImage::option()
                                                           ->set("embedded", true)
                                                           ->set("intent", VIPS_INTENT_RELATIVE)
                                                           ->set("depth", 8));
  size_t bytes = 0;
  void* pixels = srgb.write_to_memory(&bytes);
  const QImage reference = QImage(static_cast<const uchar*>(pixels), srgb.width(), srgb.height(),
                                  srgb.width() * 3, QImage::Format_RGB888)
                               .convertToFormat(QImage::Format_RGB32);
  g_free(pixels);
  return reference;
}

// `image`'s numbers saved as the colours of `icc`, and its reference.
std::pair<QByteArray, QImage> profiled(const QImage& image, const QByteArray& icc,
                                       const char* suffix) {
  vips::VImage v = vipsImage(image);
  vips_image_set_blob_copy(v.get_image(), VIPS_META_ICC_NAME, icc.constData(), size_t(icc.size()));
  const QByteArray file = testing::vipsSaved(v, suffix);
  return {file, srgbReference(file)};
}

// Four flat quadrants of distinct colours (of an even size): they survive palettes and JPEG
// and show any flip or turn; a hole of another colour (transparent) in the middle.
QImage quadrants(int w, int h, QColor hole = {}) {
  QImage image(w, h, QImage::Format_ARGB32);
  QPainter p(&image);
  const QColor colours[] = {{200, 30, 30}, {30, 160, 40}, {40, 50, 190}, {230, 210, 40}};
  for (int k = 0; k < 4; ++k) p.fillRect(k % 2 * w / 2, k / 2 * h / 2, w / 2, h / 2, colours[k]);
  p.setCompositionMode(QPainter::CompositionMode_Source);
  if (hole.isValid()) p.fillRect(w / 4, h / 4, w / 2, h / 2, hole);
  p.end();
  return hole == Qt::transparent ? image : image.convertToFormat(QImage::Format_RGB32);
}

// A file and what it gives: a drawn one is compared with `upright` at its size and at a quarter
// with libvips' cubic reduction of it. No bytes: a missing file, a folder or a pipe.
struct PictureFile {
  HostileFile file;
  QImage upright = {};
  int tolerance = 0;  // mean difference a channel
};

std::vector<PictureFile> pictureFiles() {
  const ImagingLibrary library;  // libvips writes some of the files
  std::vector<PictureFile> files;
  const auto add = [&](QString name, QByteArray bytes, QImage upright, int tolerance = 0) {
    files.push_back({{name, bytes, Expect::Drawn}, upright, tolerance});
  };
  const QImage q = quadrants(120, 90), holed = quadrants(120, 90, Qt::transparent);
  const QImage indexed = q.convertToFormat(QImage::Format_Indexed8),
               grey = q.convertToFormat(QImage::Format_Grayscale8);
  QByteArray topDown = qtFile(q.mirrored(), "bmp");
  qToLittleEndian(qint32(-90), topDown.data() + 22);
  add("baseline.jpg", vipsFile(q, ".jpg[Q=95]"), q, 1);
  add("flat.jpg", qtFile(q.copy(0, 0, 60, 45).scaled(120, 90), "jpg"), {});  // see below
  add("rgb8.png", qtFile(q, "png"), q);
  add("picture.gif", vipsFile(q, ".gif"), q);
  add("rgb24.bmp", qtFile(q, "bmp"), q);
  add("palette.bmp", qtFile(indexed, "bmp"), indexed);
  add("topdown.bmp", topDown, q);
  // Tall, full of detail: the decoder's ring of rows goes round; Qt reads it with the same libjpeg.
  const QByteArray tall = qtFile(testing::PatternImage(180, 1600, 4), "jpg");
  add("tall.jpg", tall, QImage::fromData(tall), 1);
  add("progressive.jpg", vipsFile(q, ".jpg[Q=95,interlace]"), q, 1);
  add("grey.jpg", qtFile(grey, "jpg"), grey, 1);
  const QByteArray cmyk = vipsFile(q, ".jpg[Q=95]", 0, true);
  add("cmyk.jpg", cmyk, srgbReference(cmyk), 1);  // through its press profile
  add("rgb16.png", qtFile(q.convertToFormat(QImage::Format_RGBX64), "png"), q);
  add("palette.png", qtFile(indexed, "png"), indexed);
  add("alpha.png", qtFile(holed, "png"), quadrants(120, 90, Qt::white));
  add("alpha.gif", vipsFile(holed, ".gif"), quadrants(120, 90, Qt::white));
  // 5800 x 5800 at 16 bits, red and blue: 134 MB decoded, past Qt's own 128 MB limit.
  add("large.bmp",
      QByteArray::fromHex("424db69c0204000000003600000028000000a8160000a816000001001000") +
          QByteArray(24, '\0') + QByteArray("\x1F\x7C", 2).repeated(5800 * 5800),
      {});
  // The formats of phones, cameras and the web, through libvips; several pages show the first.
  const auto pages = [&](const char* suffix) {
    vips::VImage two = vipsImage(q).join(vipsImage(q.mirrored()), VIPS_DIRECTION_VERTICAL);
    two.set("page-height", q.height());
    return testing::vipsSaved(two, suffix);
  };
  // libwebp reduces by averaging, a shade softer at edges than the cubic.
  add("lossless.webp", vipsFile(q, ".webp[lossless]"), q, 1);
  add("photo.webp", vipsFile(q, ".webp[Q=95]"), q, 3);
  add("animated.webp", pages(".webp[lossless]"), q, 1);
  add("picture.tif", vipsFile(q, ".tif"), q);
  add("tiled.tif", vipsFile(q, ".tif[tile,tile-width=32,tile-height=32,compression=deflate]"), q);
  add("pages.tif", pages(".tif"), q);
  add("photo.heic", vipsFile(q, ".heic[Q=95]"), q, 3);
  add("photo.avif", vipsFile(q, ".avif[Q=95]"), q, 3);
  // Colours of other spaces, converted to sRGB as libvips converts them; sRGB's own profile
  // changes nothing.
  const QImage pattern = testing::PatternImage(120, 90, 2);
  const auto [p3, p3Srgb] = profiled(q, displayP3(), ".png");
  add("display-p3.png", p3, p3Srgb, 1);
  const auto [adobe, adobeSrgb] = profiled(q, adobeRgb(), ".jpg[Q=98]");
  add("adobe-rgb.jpg", adobe, adobeSrgb, 1);
  const auto [p3Heic, p3HeicSrgb] = profiled(q, displayP3(), ".heic[Q=95]");
  add("display-p3.heic", p3Heic, p3HeicSrgb, 3);
  add("srgb-profile.png", profiled(pattern, savedProfile(cmsCreate_sRGBProfile()), ".png").first,
      pattern);
  // How a camera stores the upright picture under each EXIF tag: turned, then mirrored.
  const std::tuple<int, bool, bool> stored[8] = {{0, 0, 0},  {0, 1, 0},   {0, 1, 1},  {0, 0, 1},
                                                 {90, 1, 0}, {270, 0, 0}, {90, 0, 1}, {90, 0, 0}};
  for (int tag = 1; tag <= 8; ++tag) {
    const auto [turn, across, down] = stored[tag - 1];
    const QImage image = quadrants(192, 128).transformed(QTransform().rotate(turn));
    add(QString("exif%1.jpg").arg(tag), vipsFile(image.mirrored(across, down), ".jpg[Q=98]", tag),
        quadrants(192, 128), 1);
  }
  for (const char* name : {"missing.png", "folder.jpg", "pipe.jpg"})
    files.push_back({{name, {}, Expect::Unreadable}});
  files.push_back({{"bm.bmp", "BM but nothing else", Expect::Unreadable}});
  for (const HostileFile& file : testing::hostileFiles()) files.push_back({file});
  return files;
}

// The picture reduced by libvips' cubic (its gap off): what the scaler should give.
QImage cubic(const QImage& picture, QSize size) {
  const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
  auto* options = vips::VImage::option()->set("vscale", double(size.height()) / rgb.height());
  const vips::VImage reduced =
      vips::VImage::new_from_memory(const_cast<uchar*>(rgb.constBits()), size_t(rgb.sizeInBytes()),
                                    rgb.width(), rgb.height(), 3, VIPS_FORMAT_UCHAR)
          .resize(double(size.width()) / rgb.width(),
                  options->set("kernel", VIPS_KERNEL_CUBIC)->set("gap", 0.0));
  return QImage(static_cast<const uchar*>(reduced.data()), size.width(), size.height(),
                size.width() * 3, QImage::Format_RGB888)
      .copy();
}

long statusKb(const char* field) {  // a figure of /proc/self/status
  const QByteArray status = testing::ReadBytes("/proc/self/status");
  const qsizetype at = status.indexOf(field) + qsizetype(qstrlen(field));
  return status.mid(at, status.indexOf('\n', at) - at).trimmed().split(' ')[0].toLong();
}

TEST(PictureFiles, EachIsDrawnUprightOrRefusedWithItsReasonWithinTheBounds) {
  QTemporaryDir dir;
  for (const auto& [file, upright, tolerance] : pictureFiles()) {
    SCOPED_TRACE(file.name.toStdString());
    const QString path = dir.filePath(file.name);
    ASSERT_TRUE(file.bytes.isEmpty() || testing::WriteBytes(path, file.bytes));
    ASSERT_TRUE(file.name != "folder.jpg" || QDir(dir.path()).mkdir(file.name));
    ASSERT_TRUE(file.name != "pipe.jpg" || ::mkfifo(QFile::encodeName(path).data(), 0600) == 0);
    QFile refs("/proc/self/clear_refs");  // the peak resident size starts afresh
    ASSERT_TRUE(refs.open(QIODevice::WriteOnly) && refs.write("5") == 1);
    const long before = statusKb("VmRSS:");
    const std::clock_t processor = std::clock();  // all threads: other load does not count
    const std::optional<QSize> size = pictureFileSize(path);
    QString whyNot = "stale";
    const QImage canvas = loadDisplayPicture(path, {-1, -1}, &whyNot);
    EXPECT_LT(double(std::clock() - processor) / CLOCKS_PER_SEC, 5.0);
    EXPECT_LT(statusKb("VmHWM:") - before, (imaging::decodeBudget() >> 10) + 100 * 1024);
    const QSize planned = canvasSizeFor(size.value_or(QSize()), {-1, -1}, kMaxDisplaySide);
    // A profile that cannot be used leaves the colours as stored, and says so.
    EXPECT_TRUE(canvas.isNull()
                    ? whyNot == cannotReadPictureText() || whyNot.startsWith("Picture too large")
                    : whyNot == (file.name.startsWith("bad-profile") ? imaging::profileNotUsedText()
                                                                     : QString()) &&
                          canvas.size() == planned);
    EXPECT_EQ(canvas.isNull(), file.expect != Expect::Drawn);
    EXPECT_TRUE(file.expect != Expect::Unreadable || whyNot == "Cannot read picture");
    if (file.expect == Expect::TooLarge) {
      EXPECT_EQ(whyNot, QString("Picture too large to open (%1 MP)").arg(file.megapixels));
      EXPECT_FALSE(size) << "a refused picture has no size";
    }
    if (canvas.isNull()) continue;
    // Any part of the canvas drawn alone is that part of the whole drawing, pixel for pixel.
    const QRect part(canvas.width() / 4, canvas.height() / 3, canvas.width() / 2 + 1, 7);
    EXPECT_EQ(loadPictureRegion(path, canvas.size(), part), canvas.copy(part));
    Bitmap24 cut;  // also into a bitmap, straight from the JPEG decoder where it can
    QImage painted(part.size(), QImage::Format_RGB32);
    EXPECT_TRUE(loadPictureRegion(path, canvas.size(), part, cut) && cut.paintOnto(painted) &&
                painted == canvas.copy(part));
    if (upright.isNull()) continue;
    EXPECT_EQ(size, upright.size());
    EXPECT_LE(testing::meanDifference(canvas, upright), tolerance);
    const QImage reduced = loadDisplayPicture(path, upright.size() / 4);
    const QRect fit = fitRect(upright.size(), reduced.size(), Qt::KeepAspectRatio);
    const QImage smaller = cubic(upright, fit.size());
    EXPECT_LE(testing::meanDifference(reduced.copy(fit), smaller), tolerance + 1);
  }
  QString whyNot = "stale";  // no entry selected: no picture and nothing to say
  EXPECT_TRUE(loadDisplayPicture({}, {-1, -1}, &whyNot).isNull() && whyNot.isEmpty());
  // A flat JPEG stays flat at any size: the cubic's weights sum to one, the edges included.
  for (QSize size : {QSize(40, 30), QSize(12, 9), QSize(116, 87)}) {
    QImage expected(size, QImage::Format_RGB32);
    expected.fill(QImage(dir.filePath("flat.jpg")).pixel(0, 0));
    EXPECT_EQ(loadDisplayPicture(dir.filePath("flat.jpg"), size), expected) << size.width();
  }
}

}  // namespace
}  // namespace trimora
