#include <gtest/gtest.h>

#include <QPainter>
#include <QTemporaryDir>
#include <tuple>

#include "ImagingPictures.h"
#include "PictureLoader.h"
#include "TestPictures.h"

// The canvas and fit rules, first on sizes alone, then on drawn pictures.
namespace trimora {
namespace {

// On sizes alone; LoadGeometry below draws the common cases.
TEST(CanvasSizeFor, SubstitutesAndCapsEachSideOnItsOwn) {
  // Picture, asked width and height, cap, canvas.
  const std::tuple<QSize, int, int, int, QSize> cases[] = {
      {{3000, 1500}, -1, 700, 2000, {2000, 700}},
      {{3000, 1500}, -1, -1, -5, {3000, 1500}},
      {{800, 600}, 2500, 100, 2000, {2000, 100}},
      {{1500, 3000}, -1, -1, 2000, {1500, 2000}}};
  for (auto [picture, w, h, max, canvas] : cases) {
    EXPECT_EQ(canvasSizeFor(picture, {w, h}, max), canvas) << w << "x" << h << " max " << max;
  }
}

TEST(FitRect, CentresThePictureRoundingHalvesToEven) {
  const std::tuple<QSize, QSize, QRect> cases[] = {
      {{800, 600}, {401, 300}, {0, 0, 400, 300}},  // x = nearest(0.5) = 0
      {{800, 600}, {403, 300}, {2, 0, 400, 300}},  // x = nearest(1.5) = 2
      {{800, 600}, {400, 300}, {0, 0, 400, 300}},  // equal ratios: edge to edge
      {{200, 100}, {5, 5}, {0, 2, 5, 2}},          // h = nearest(2.5) = 2, y = nearest(1.5)
      {{1, 20000}, {1, 2000}, {0, 0, 0, 2000}}};   // a side that rounds to nothing
  for (auto [picture, canvas, fit] : cases) {
    EXPECT_EQ(fitRect(picture, canvas, Qt::KeepAspectRatio), fit)
        << canvas.width() << "x" << canvas.height();
  }
  EXPECT_EQ(fitRect({3000, 1500}, {700, 700}, Qt::IgnoreAspectRatio), QRect(0, 0, 700, 700));
}

TEST(LoadGeometry, NativeSizeGivesTheSameCanvasAndPixels) {
  QTemporaryDir dir;
  const QString path = testing::WritePicture(dir.filePath("p.png"), 800, 600, 3);
  const QImage canvas = loadDisplayPicture(path, {-1, -1});
  EXPECT_EQ(canvas.size(), QSize(800, 600));
  EXPECT_EQ(canvas.format(), QImage::Format_RGB32);
  EXPECT_EQ(canvas, testing::PatternImage(800, 600, 3));
}

// A flat red picture drawn on a blue back colour: the canvas must be blue with
// the red exactly where the picture lands. A side of the fit that rounds to
// nothing leaves the canvas plain.
TEST(LoadGeometry, FittedCentredStretchedAndCapped) {
  QTemporaryDir dir;
  // Picture, asked canvas, fitted, cap, canvas, where the picture lands.
  const std::tuple<QSize, QSize, bool, int, QSize, QRect> cases[] = {
      {{3000, 1500}, {-1, -1}, true, 2000, {2000, 1500}, {0, 250, 2000, 1000}},
      {{1500, 3000}, {-1, -1}, true, 2000, {1500, 2000}, {250, 0, 1000, 2000}},
      {{800, 600}, {401, 300}, true, 2000, {401, 300}, {0, 0, 400, 300}},
      {{3000, 1500}, {300, 300}, false, 2000, {300, 300}, {0, 0, 300, 300}},
      {{3000, 1500}, {-1, -1}, true, 0, {3000, 1500}, {0, 0, 3000, 1500}},
      {{1, 1}, {-1, -1}, true, 2000, {1, 1}, {0, 0, 1, 1}},
      {{1, 1}, {100, 100}, true, 2000, {100, 100}, {0, 0, 100, 100}},
      {{1, 20000}, {-1, -1}, true, 2000, {1, 2000}, {}},
      {{1, 20000}, {100, 100}, false, 2000, {100, 100}, {0, 0, 100, 100}}};
  for (auto [picture, ask, fit, max, canvas, lands] : cases) {
    SCOPED_TRACE(::testing::Message() << picture.width() << "x" << picture.height() << " on "
                                      << ask.width() << "x" << ask.height());
    const QString path = testing::WritePicture(
        dir.filePath(QStringLiteral("%1x%2.png").arg(picture.width()).arg(picture.height())),
        picture.width(), picture.height(), 0, Qt::red);
    const QImage drawn = loadScaledPicture(path, ask, Qt::blue,
                                           fit ? Qt::KeepAspectRatio : Qt::IgnoreAspectRatio, max);
    ASSERT_EQ(drawn.size(), canvas);
    QImage expected(canvas, QImage::Format_RGB32);
    expected.fill(Qt::blue);
    QPainter(&expected).fillRect(lands, Qt::red);
    EXPECT_TRUE(drawn == expected);
  }
  // An empty canvas is no picture.
  for (QSize empty : {QSize(0, 100), QSize(100, -2)}) {
    EXPECT_TRUE(
        loadScaledPicture(dir.filePath("800x600.png"), empty, Qt::black, Qt::KeepAspectRatio, 2000)
            .isNull());
  }
}

TEST(LoadGeometry, ScalingKeepsTheMeanColourOfDetail) {
  QTemporaryDir dir;
  const QString path = testing::WritePicture(dir.filePath("fine.png"), 300, 200, 5);
  const auto mean = [](const QImage& image, int k) {
    double sum = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) sum += (image.pixel(x, y) >> (8 * k)) & 0xFF;
    }
    return sum / (double(image.width()) * image.height());
  };
  const QImage source = testing::PatternImage(300, 200, 5);
  for (QSize ask : {QSize(90, 60), QSize(600, 400)}) {  // reduced and enlarged
    const QImage canvas = loadDisplayPicture(path, ask);
    ASSERT_EQ(canvas.size(), ask);
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(mean(canvas, k), mean(source, k), 2.0) << k;
  }
}

}  // namespace
}  // namespace trimora
