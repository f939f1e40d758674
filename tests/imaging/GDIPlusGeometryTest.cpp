#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <array>

#include "GDIPlus.h"
#include "TestPictures.h"

// The canvas and fit rules, first on sizes alone, then on drawn pictures.
namespace trimora {
namespace {

struct CanvasCase {
  QSize picture;
  int width, height, maxSize;
  QSize canvas;
};

TEST(CanvasSizeFor, SubstitutesAndCapsEachSideOnItsOwn) {
  const CanvasCase cases[] = {
      {{800, 600}, -1, -1, 2000, {800, 600}},     {{3000, 1500}, -1, -1, 2000, {2000, 1500}},
      {{1500, 3000}, -1, -1, 2000, {1500, 2000}}, {{3000, 1500}, -1, 700, 2000, {2000, 700}},
      {{3000, 1500}, -1, -1, 0, {3000, 1500}},    {{3000, 1500}, -1, -1, -5, {3000, 1500}},
      {{800, 600}, 401, 300, 2000, {401, 300}},   {{800, 600}, 2500, 100, 2000, {2000, 100}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CanvasSizeFor(c.picture, c.width, c.height, c.maxSize), c.canvas)
        << c.picture.width() << "x" << c.picture.height() << " asked " << c.width << "x" << c.height
        << " max " << c.maxSize;
  }
}

struct FitCase {
  QSize picture, canvas;
  QRect fit;
};

TEST(FitRect, CentresThePictureRoundingHalvesToEven) {
  const FitCase cases[] = {
      {{3000, 1500}, {2000, 1500}, {0, 250, 2000, 1000}},
      {{1500, 3000}, {1500, 2000}, {250, 0, 1000, 2000}},
      {{800, 600}, {401, 300}, {0, 0, 400, 300}},  // x = nearest(0.5) = 0
      {{800, 600}, {403, 300}, {2, 0, 400, 300}},  // x = nearest(1.5) = 2
      {{800, 600}, {400, 300}, {0, 0, 400, 300}},  // equal ratios: edge to edge
      {{200, 100}, {5, 5}, {0, 2, 5, 2}},          // fh = nearest(2.5) = 2, y = nearest(1.5) = 2
      {{1, 20000}, {1, 2000}, {0, 0, 0, 2000}},    // a side that rounds to nothing
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FitRect(c.picture, c.canvas, true), c.fit)
        << c.picture.width() << "x" << c.picture.height() << " in " << c.canvas.width() << "x"
        << c.canvas.height();
  }
  EXPECT_EQ(FitRect({3000, 1500}, {700, 700}, false), QRect(0, 0, 700, 700));
}

class LoadGeometry : public ::testing::Test {
 protected:
  QString Flat(int w, int h, QColor colour) {
    return testing::WritePicture(dir.filePath(QStringLiteral("flat%1x%2.png").arg(w).arg(h)), w, h,
                                 0, colour);
  }
  QTemporaryDir dir;
};

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kRed = qRgb(255, 0, 0);

TEST_F(LoadGeometry, NativeSizeGivesTheSameCanvasAndPixels) {
  const QString path = testing::WritePicture(dir.filePath("p.png"), 800, 600, 3);
  int w = -1, h = -1;
  const QImage canvas = LoadDisplayPicture(path, w, h, true);
  ASSERT_FALSE(canvas.isNull());
  EXPECT_EQ(w, 800);
  EXPECT_EQ(h, 600);
  EXPECT_EQ(canvas.format(), QImage::Format_RGB32);
  EXPECT_EQ(canvas, testing::PatternImage(800, 600, 3));
}

TEST_F(LoadGeometry, WidePictureIsCappedWithBandsAboveAndBelow) {
  int w = -1, h = -1;
  const QImage canvas = LoadDisplayPicture(Flat(3000, 1500, Qt::red), w, h, true);
  ASSERT_EQ(canvas.size(), QSize(2000, 1500));
  EXPECT_EQ(QSize(w, h), QSize(2000, 1500));
  for (int x : {0, 1000, 1999}) {
    EXPECT_EQ(canvas.pixel(x, 0), kWhite);
    EXPECT_EQ(canvas.pixel(x, 249), kWhite);
    EXPECT_EQ(canvas.pixel(x, 250), kRed);
    EXPECT_EQ(canvas.pixel(x, 1249), kRed);
    EXPECT_EQ(canvas.pixel(x, 1250), kWhite);
  }
}

TEST_F(LoadGeometry, TallPictureIsCappedWithBandsLeftAndRight) {
  int w = -1, h = -1;
  const QImage canvas = LoadDisplayPicture(Flat(1500, 3000, Qt::red), w, h, true);
  ASSERT_EQ(canvas.size(), QSize(1500, 2000));
  EXPECT_EQ(canvas.pixel(249, 1000), kWhite);
  EXPECT_EQ(canvas.pixel(250, 1000), kRed);
  EXPECT_EQ(canvas.pixel(1249, 1000), kRed);
  EXPECT_EQ(canvas.pixel(1250, 1000), kWhite);
}

TEST_F(LoadGeometry, OddCanvasKeepsTheExtraColumnInBackColor) {
  int w = 401, h = 300;
  const QImage canvas =
      LoadScaledPicture(Flat(800, 600, Qt::red), w, h, 0xFF0000 /* blue */, true, 2000);
  ASSERT_EQ(canvas.size(), QSize(401, 300));
  EXPECT_EQ(canvas.pixel(0, 150), kRed);
  EXPECT_EQ(canvas.pixel(399, 150), kRed);
  EXPECT_EQ(canvas.pixel(400, 150), qRgb(0, 0, 255));
}

TEST_F(LoadGeometry, StretchedAndUncappedCanvases) {
  const QString wide = Flat(3000, 1500, Qt::red);
  int w = 300, h = 300;
  QImage canvas = LoadScaledPicture(wide, w, h, 0xFFFFFF, false, 2000);
  ASSERT_EQ(canvas.size(), QSize(300, 300));
  EXPECT_EQ(canvas.pixel(150, 0), kRed);
  EXPECT_EQ(canvas.pixel(150, 299), kRed);

  w = h = -1;
  canvas = LoadScaledPicture(wide, w, h, 0xFFFFFF, true, 0);
  EXPECT_EQ(canvas.size(), QSize(3000, 1500));

  // An empty canvas is no picture, and the sizes stay as given.
  for (QSize ask : {QSize(0, 100), QSize(100, -2)}) {
    w = ask.width(), h = ask.height();
    EXPECT_TRUE(LoadScaledPicture(wide, w, h, 0xFFFFFF, true, 2000).isNull());
    EXPECT_EQ(QSize(w, h), ask);
  }
}

TEST_F(LoadGeometry, ScalingKeepsFlatAreasFlatAndTheMeanOfDetail) {
  // Enlarging and reducing a fine pattern: the average colour must survive.
  const QString path = testing::WritePicture(dir.filePath("fine.png"), 300, 200, 5);
  const QImage source = testing::PatternImage(300, 200, 5);
  const auto mean = [](const QImage& image) {
    double sum[3] = {};
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const QRgb p = image.pixel(x, y);
        sum[0] += qRed(p), sum[1] += qGreen(p), sum[2] += qBlue(p);
      }
    }
    const double n = double(image.width()) * image.height();
    return std::array<double, 3>{sum[0] / n, sum[1] / n, sum[2] / n};
  };
  const auto expected = mean(source);
  for (QSize ask : {QSize(90, 60), QSize(600, 400)}) {
    int w = ask.width(), h = ask.height();
    const QImage canvas = LoadDisplayPicture(path, w, h, true);
    ASSERT_EQ(canvas.size(), ask);
    const auto got = mean(canvas);
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(got[k], expected[k], 2.0) << ask.width();
  }
}

}  // namespace
}  // namespace trimora
