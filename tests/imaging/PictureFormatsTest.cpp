#include <gtest/gtest.h>

#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>
#include <QTransform>
#include <functional>

#include "GDIPlus.h"
#include "ImagingPictures.h"
#include "TestPictures.h"

// Every listed format and variant decodes upright at its size; transparency
// shows the background; the library starts and stops quietly.
namespace trimora {
namespace {

using testing::BmpKind;

// Four flat quadrants of distinct colours: survives palettes and JPEG, and
// shows any flip or turn.
QImage Quadrants(int w, int h, bool alphaHole = false) {
  QImage image(w, h, QImage::Format_ARGB32);
  QPainter p(&image);
  p.fillRect(0, 0, w / 2, h / 2, QColor(200, 30, 30));
  p.fillRect(w / 2, 0, w - w / 2, h / 2, QColor(30, 160, 40));
  p.fillRect(0, h / 2, w / 2, h - h / 2, QColor(40, 50, 190));
  p.fillRect(w / 2, h / 2, w - w / 2, h - h / 2, QColor(230, 210, 40));
  if (alphaHole) {
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.fillRect(w / 4, h / 4, w / 2, h / 2, Qt::transparent);
  }
  return image;
}

// The colour in the middle of each quadrant.
std::array<QRgb, 4> QuadrantColours(const QImage& image, QRect area) {
  const int x0 = area.x() + area.width() / 4, x1 = area.x() + area.width() * 3 / 4;
  const int y0 = area.y() + area.height() / 4, y1 = area.y() + area.height() * 3 / 4;
  return {image.pixel(x0, y0), image.pixel(x1, y0), image.pixel(x0, y1), image.pixel(x1, y1)};
}

void ExpectClose(QRgb got, QRgb want, int tolerance, const QString& what) {
  EXPECT_LE(std::abs(qRed(got) - qRed(want)), tolerance) << qPrintable(what);
  EXPECT_LE(std::abs(qGreen(got) - qGreen(want)), tolerance) << qPrintable(what);
  EXPECT_LE(std::abs(qBlue(got) - qBlue(want)), tolerance) << qPrintable(what);
}

struct Variant {
  const char* name;
  std::function<bool(const QImage&, const QString&)> write;
  int tolerance;
  bool grey = false;
};

TEST(PictureFormats, EveryVariantDecodesAtItsSizeWithItsColours) {
  QTemporaryDir dir;
  const QImage source = Quadrants(120, 90);
  const Variant variants[] = {
      {"baseline.jpg", [](auto& i, auto& p) { return testing::SaveWithVips(i, p, "[Q=95]"); }, 8},
      {"progressive.jpg",
       [](auto& i, auto& p) { return testing::SaveWithVips(i, p, "[Q=95,interlace]"); }, 8},
      {"grey.jpg", testing::SaveGreyJpeg, 2, true},
      // Through a colour profile and back: near, not equal.
      {"cmyk.jpg", testing::SaveCmykJpeg, 60},
      {"rgb8.png", [](auto& i, auto& p) { return testing::SaveWithVips(i, p); }, 0},
      {"rgb16.png", testing::Save16BitPng, 1},
      {"palette.png", [](auto& i, auto& p) { return testing::SaveWithVips(i, p, "[palette]"); }, 2},
      {"interlaced.png",
       [](auto& i, auto& p) { return testing::SaveWithVips(i, p, "[interlace]"); }, 0},
      {"picture.gif", [](auto& i, auto& p) { return testing::SaveWithVips(i, p); }, 4},
      {"animated.gif",  // the first frame is the picture
       [](auto& i, auto& p) { return testing::SaveAnimatedGif(i, i.mirrored(true, true), p); }, 4},
      {"rgb24.bmp", [](auto& i, auto& p) { return testing::WriteBmp(i, p, BmpKind::Rgb24); }, 0},
      {"rgb32.bmp", [](auto& i, auto& p) { return testing::WriteBmp(i, p, BmpKind::Rgb32); }, 0},
      {"topdown.bmp", [](auto& i, auto& p) { return testing::WriteBmp(i, p, BmpKind::TopDown24); },
       0},
      {"rle8.bmp", [](auto& i, auto& p) { return testing::WriteBmp(i, p, BmpKind::Rle8); }, 0},
  };
  const auto want = QuadrantColours(source, source.rect());
  for (const Variant& v : variants) {
    const QString path = dir.filePath(QLatin1String(v.name));
    ASSERT_TRUE(v.write(source, path)) << v.name;
    int fw = 0, fh = 0;
    GetPictureFileSize(path, fw, fh);
    EXPECT_EQ(QSize(fw, fh), QSize(120, 90)) << v.name;
    int w = -1, h = -1;
    const QImage canvas = LoadDisplayPicture(path, w, h, true);
    ASSERT_EQ(canvas.size(), QSize(120, 90)) << v.name;
    // A quarter of the size or less: JPEG is then decoded at a reduced DCT scale.
    int qw = 30, qh = 22;
    const QImage quarter = LoadDisplayPicture(path, qw, qh, true);
    ASSERT_EQ(quarter.size(), QSize(30, 22)) << v.name;
    const auto gotQuarter = QuadrantColours(quarter, FitRect({120, 90}, {30, 22}, true));
    const auto got = QuadrantColours(canvas, canvas.rect());
    // A grey file is compared with what Qt's own reader sees in it.
    const auto witness = v.grey ? QuadrantColours(QImage(path), canvas.rect()) : want;
    for (int q = 0; q < 4; ++q) {
      if (v.grey) {
        EXPECT_EQ(qRed(got[q]), qBlue(got[q])) << "grey stays grey";
      }
      ExpectClose(got[q], witness[q], v.tolerance,
                  QStringLiteral("%1 quadrant %2").arg(QLatin1String(v.name)).arg(q));
      ExpectClose(gotQuarter[q], witness[q], v.tolerance + 4,
                  QStringLiteral("%1 reduced, quadrant %2").arg(QLatin1String(v.name)).arg(q));
    }
  }
}

TEST(PictureFormats, TransparentPartsShowTheBackground) {
  QTemporaryDir dir;
  const QImage source = Quadrants(80, 60, true);
  const QString png = dir.filePath("alpha.png");
  const QString gif = dir.filePath("alpha.gif");
  ASSERT_TRUE(testing::SaveWithVips(source, png, "", true));
  ASSERT_TRUE(testing::SaveWithVips(source, gif, "", true));
  for (const QString& path : {png, gif}) {
    int w = -1, h = -1;
    QImage canvas = LoadDisplayPicture(path, w, h, true);
    ASSERT_EQ(canvas.size(), QSize(80, 60)) << qPrintable(path);
    EXPECT_EQ(canvas.pixel(40, 30), qRgb(255, 255, 255)) << qPrintable(path);
    ExpectClose(canvas.pixel(5, 5), qRgb(200, 30, 30), 4, path);

    w = h = -1;
    canvas = LoadScaledPicture(path, w, h, 0x00FF00, true, 2000);
    ASSERT_FALSE(canvas.isNull());
    EXPECT_EQ(canvas.pixel(40, 30), qRgb(0, 255, 0)) << qPrintable(path);
  }
}

// The stored picture for an orientation: what a camera writes so that the
// picture shows as `upright` once the tag is applied.
QImage StoredFor(const QImage& upright, int orientation) {
  const QImage r90 = upright.transformed(QTransform().rotate(90));
  switch (orientation) {
    case 2:
      return upright.mirrored(true, false);
    case 3:
      return upright.mirrored(true, true);
    case 4:
      return upright.mirrored(false, true);
    case 5:
      return r90.mirrored(true, false);
    case 6:
      return upright.transformed(QTransform().rotate(270));
    case 7:
      return r90.mirrored(false, true);
    case 8:
      return r90;
    default:
      return upright;
  }
}

TEST(PictureFormats, ExifOrientationGivesTheSameUprightPictureAndSize) {
  QTemporaryDir dir;
  const QImage upright = Quadrants(192, 128);
  const auto want = QuadrantColours(upright, upright.rect());
  for (int orientation = 1; orientation <= 8; ++orientation) {
    const QString path = dir.filePath(QStringLiteral("o%1.jpg").arg(orientation));
    ASSERT_TRUE(
        testing::SaveJpegWithOrientation(StoredFor(upright, orientation), path, orientation));
    // Qt's own reader, applying the tag, is the witness that the file is what we mean.
    QImageReader witness(path);
    witness.setAutoTransform(true);
    const QImage seen = witness.read();
    ASSERT_EQ(seen.size(), upright.size()) << orientation;
    const auto seenColours = QuadrantColours(seen, seen.rect());
    for (int q = 0; q < 4; ++q) ExpectClose(seenColours[q], want[q], 8, QStringLiteral("witness"));

    int fw = 0, fh = 0;
    GetPictureFileSize(path, fw, fh);
    EXPECT_EQ(QSize(fw, fh), QSize(192, 128)) << "orientation " << orientation;
    int w = -1, h = -1;
    const QImage canvas = LoadDisplayPicture(path, w, h, true);
    ASSERT_EQ(canvas.size(), QSize(192, 128)) << "orientation " << orientation;
    const auto got = QuadrantColours(canvas, canvas.rect());
    for (int q = 0; q < 4; ++q) {
      ExpectClose(got[q], want[q], 8,
                  QStringLiteral("orientation %1 quadrant %2").arg(orientation).arg(q));
    }
    // Reduced while decoding (DCT scale 1/2), the turn must come out the same.
    w = 48, h = 48;
    const QImage small = LoadDisplayPicture(path, w, h, true);
    ASSERT_EQ(small.size(), QSize(48, 48));
    const auto gotSmall = QuadrantColours(small, FitRect({192, 128}, {48, 48}, true));
    for (int q = 0; q < 4; ++q) {
      ExpectClose(gotSmall[q], want[q], 10,
                  QStringLiteral("small, orientation %1 quadrant %2").arg(orientation).arg(q));
    }
  }
}

TEST(PictureFormats, StartAndStopHandOutTokensAndStayQuiet) {
  const std::uint32_t a = StartupGDIPlus();
  const std::uint32_t b = StartupGDIPlus();
  EXPECT_NE(a, 0u);
  EXPECT_NE(b, 0u);
  EXPECT_NE(a, b);
  ShutdownGDIPlus(0);
  ShutdownGDIPlus(a);
  ShutdownGDIPlus(a);
  ShutdownGDIPlus(b);
  InitGDIPlus();
  EXPECT_NE(GdipToken, 0u);
  FreeGDIPlus();
  // A window opened after another closed still gets its pictures.
  QTemporaryDir dir;
  const QString path = testing::WritePicture(dir.filePath("after.jpg"), 64, 48);
  int w = -1, h = -1;
  EXPECT_FALSE(LoadDisplayPicture(path, w, h, true).isNull());
}

}  // namespace
}  // namespace trimora
