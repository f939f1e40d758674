#include <gtest/gtest.h>

#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>
#include <QTransform>
#include <array>
#include <tuple>

#include "ImagingPictures.h"
#include "PictureLoader.h"
#include "TestPictures.h"

// Every format and variant decodes upright at its size; transparency shows the
// background; the library starts and stops quietly.
namespace trimora {
namespace {

using testing::Kind;

// Four flat quadrants of distinct colours: survives palettes and JPEG, and
// shows any flip or turn; alphaHole makes the middle transparent.
QImage Quadrants(int w, int h, bool alphaHole = false) {
  QImage image(w, h, QImage::Format_ARGB32);
  QPainter p(&image);
  p.fillRect(0, 0, w / 2, h / 2, QColor(200, 30, 30));
  p.fillRect(w / 2, 0, w - w / 2, h / 2, QColor(30, 160, 40));
  p.fillRect(0, h / 2, w / 2, h - h / 2, QColor(40, 50, 190));
  p.fillRect(w / 2, h / 2, w - w / 2, h - h / 2, QColor(230, 210, 40));
  p.setCompositionMode(QPainter::CompositionMode_Source);  // so that transparent replaces
  if (alphaHole) p.fillRect(w / 4, h / 4, w / 2, h / 2, Qt::transparent);
  return image;
}

// The colour in the middle of each quadrant of area.
std::array<QRgb, 4> QuadrantColours(const QImage& image, QRect area) {
  const int x0 = area.x() + area.width() / 4, x1 = area.x() + area.width() * 3 / 4;
  const int y0 = area.y() + area.height() / 4, y1 = area.y() + area.height() * 3 / 4;
  return {image.pixel(x0, y0), image.pixel(x1, y0), image.pixel(x0, y1), image.pixel(x1, y1)};
}

void ExpectClose(QRgb got, QRgb want, int tolerance) {
  EXPECT_NEAR(qRed(got), qRed(want), tolerance);
  EXPECT_NEAR(qGreen(got), qGreen(want), tolerance);
  EXPECT_NEAR(qBlue(got), qBlue(want), tolerance);
}

void ExpectQuadrants(const QImage& image, QRect area, std::array<QRgb, 4> want, int tolerance) {
  const auto got = QuadrantColours(image, area);
  for (int q = 0; q < 4; ++q) {
    SCOPED_TRACE(q);
    ExpectClose(got[q], want[q], tolerance);
  }
}

TEST(PictureFormats, EveryVariantDecodesAtItsSizeWithItsColours) {
  QTemporaryDir dir;
  const QImage source = Quadrants(120, 90);
  // File, kind, saver options, tolerance. CMYK goes through a colour profile and
  // back; an animated GIF shows its first frame.
  const std::tuple<const char*, Kind, const char*, int> cases[] = {
      {"baseline.jpg", Kind::Vips, "[Q=95]", 8},
      {"progressive.jpg", Kind::Vips, "[Q=95,interlace]", 8},
      {"grey.jpg", Kind::Grey, "[Q=95]", 2},
      {"cmyk.jpg", Kind::Cmyk, "[Q=95]", 60},
      {"rgb8.png", Kind::Vips, "", 0},
      {"rgb16.png", Kind::Png16, "[bitdepth=16]", 1},
      {"palette.png", Kind::Vips, "[palette]", 2},
      {"interlaced.png", Kind::Vips, "[interlace]", 0},
      {"picture.gif", Kind::Vips, "", 4},
      {"animated.gif", Kind::AnimatedGif, "", 4},
      {"rgb24.bmp", Kind::Bmp24, "", 0},
      {"topdown.bmp", Kind::BmpTopDown, "", 0},
      {"rle8.bmp", Kind::BmpRle8, "", 0}};
  for (auto [name, kind, options, tolerance] : cases) {
    SCOPED_TRACE(name);
    const QString path = dir.filePath(QLatin1String(name));
    ASSERT_TRUE(testing::WritePictureAs(kind, source, path, options));
    EXPECT_EQ(pictureFileSize(path), QSize(120, 90));
    // A grey file is compared with what Qt's own reader sees in it.
    const bool grey = kind == Kind::Grey;
    const auto want = QuadrantColours(grey ? QImage(path) : source, source.rect());
    // At its own size, and at a quarter, which JPEG decodes at a reduced DCT scale.
    for (QSize ask : {QSize(-1, -1), QSize(30, 22)}) {
      const QImage canvas = loadDisplayPicture(path, ask);
      ASSERT_EQ(canvas.size(), ask.width() < 0 ? QSize(120, 90) : ask);
      const QRect area = fitRect({120, 90}, canvas.size(), Qt::KeepAspectRatio);
      ExpectQuadrants(canvas, area, want, tolerance + (ask.width() < 0 ? 0 : 4));
      if (grey) {
        for (QRgb c : QuadrantColours(canvas, area)) EXPECT_EQ(qRed(c), qBlue(c)) << "grey stays";
      }
    }
  }
}

TEST(PictureFormats, TransparentPartsShowTheBackground) {
  QTemporaryDir dir;
  const QImage source = Quadrants(80, 60, true);
  for (const char* name : {"alpha.png", "alpha.gif"}) {
    SCOPED_TRACE(name);
    const QString path = dir.filePath(QLatin1String(name));
    ASSERT_TRUE(testing::WritePictureAs(Kind::Alpha, source, path));
    for (QColor back : {QColor(Qt::white), QColor(Qt::green)}) {
      const QImage canvas = loadScaledPicture(path, {-1, -1}, back, Qt::KeepAspectRatio, 2000);
      ASSERT_EQ(canvas.size(), QSize(80, 60));
      EXPECT_EQ(canvas.pixel(40, 30), back.rgb());
      ExpectClose(canvas.pixel(5, 5), qRgb(200, 30, 30), 4);
    }
  }
}

TEST(PictureFormats, ExifOrientationGivesTheSameUprightPictureAndSize) {
  QTemporaryDir dir;
  const QImage upright = Quadrants(192, 128);
  const auto want = QuadrantColours(upright, upright.rect());
  // How a camera stores the upright picture under each tag: turned, then mirrored.
  const std::tuple<int, int, int> stored[9] = {{},          {0, 0, 0},  {0, 1, 0},
                                               {0, 1, 1},   {0, 0, 1},  {90, 1, 0},
                                               {270, 0, 0}, {90, 0, 1}, {90, 0, 0}};
  for (int orientation = 1; orientation <= 8; ++orientation) {
    SCOPED_TRACE(orientation);
    const auto [turn, horizontal, vertical] = stored[orientation];
    const QString path = dir.filePath(QStringLiteral("o%1.jpg").arg(orientation));
    ASSERT_TRUE(testing::WritePictureAs(
        Kind::Vips, upright.transformed(QTransform().rotate(turn)).mirrored(horizontal, vertical),
        path, "[Q=98]", orientation));
    // Qt's own reader, applying the tag, witnesses that the file is what is meant.
    QImageReader witness(path);
    witness.setAutoTransform(true);
    const QImage seen = witness.read();
    ASSERT_EQ(seen.size(), upright.size());
    ExpectQuadrants(seen, seen.rect(), want, 8);

    EXPECT_EQ(pictureFileSize(path), QSize(192, 128));
    // At its own size, and reduced while decoding (DCT scale 1/2): the same turn.
    for (QSize ask : {QSize(-1, -1), QSize(48, 48)}) {
      const QImage canvas = loadDisplayPicture(path, ask);
      ASSERT_EQ(canvas.size(), ask.width() < 0 ? QSize(192, 128) : ask);
      ExpectQuadrants(canvas, fitRect({192, 128}, canvas.size(), Qt::KeepAspectRatio), want,
                      ask.width() < 0 ? 8 : 10);
    }
  }
}

TEST(PictureFormats, PicturesLoadAfterTheLibraryWasReleased) {
  { EXPECT_TRUE(ImagingLibrary().isRunning()); }
  // A window opened after another closed still gets its pictures.
  QTemporaryDir dir;
  const QString path = testing::WritePicture(dir.filePath("after.jpg"), 64, 48);
  EXPECT_FALSE(loadDisplayPicture(path, {-1, -1}).isNull());
}

}  // namespace
}  // namespace trimora
