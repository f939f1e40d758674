#include <gtest/gtest.h>

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include "PictureCache.h"
#include "PictureLoader.h"
#include "TestPictures.h"

// The pictures drawn ahead: used only for the file and request they were drawn for, abandoned
// and dropped when the user turns away, never kept when they failed. These tests also run
// under ThreadSanitizer (tests/tsan).
namespace trimora {
namespace {

using testing::WritePicture;

constexpr QSize kShown(150, 100);
#ifdef TRIMORA_TSAN
// Under ThreadSanitizer every access costs many times as much: smaller pictures, and the time
// bound is left to the other builds.
constexpr int kLarge = 3;
constexpr bool kTimed = false;
#else
constexpr int kLarge = 1;
constexpr bool kTimed = true;
#endif

PictureCache::Planner at(QSize request, int maxSide = 0) {
  return [=](const QString& path, QSize) {
    return std::optional<PictureRequest>({path, request, maxSide});
  };
}

QRgb middle(const QImage& image) {
  return image.pixel(image.width() / 2, image.height() / 2);
}

bool near(QRgb a, QColor b) {
  return std::abs(qRed(a) - b.red()) < 8 && std::abs(qGreen(a) - b.green()) < 8 &&
         std::abs(qBlue(a) - b.blue()) < 8;
}

class PictureCacheTest : public ::testing::Test {
 protected:
  QString picture(const QString& name, QColor colour, int width = 600, int height = 400) {
    return WritePicture(dir.filePath(name), width, height, 0, colour);
  }
  QTemporaryDir dir;
  PictureCache cache;
};

TEST_F(PictureCacheTest, APreparedPictureServesOnlyItsFileAsItWasAndItsRequest) {
  const QString a = picture("a.png", Qt::red), b = picture("b.jpg", Qt::green);
  for (int i = 0; i < 2; ++i) {  // asked again, what is held is not drawn again
    cache.prepare({a, b}, at(kShown));
    cache.waitUntilIdle();
  }
  EXPECT_EQ(cache.decodeCount(), 2);
  EXPECT_EQ(cache.heldFiles(), QStringList({QString(), a, b}));
  EXPECT_EQ(cache.pictureSize(b), QSize(600, 400));

  // Handed over without a decode, pixel for pixel what a load draws now (libvips' reader,
  // which works out a preparation in bands).
  const QImage shown = cache.picture({a, kShown, 0});
  EXPECT_EQ(cache.decodeCount(), 2);
  EXPECT_TRUE(shown == loadScaledPicture(a, kShown, Qt::white, Qt::KeepAspectRatio, 0));
  EXPECT_EQ(cache.heldFiles(), QStringList({a, b}));

  // Another request for b, then b rewritten in place (another colour, same size) and b only
  // touched: each is drawn afresh and shows what the file holds now.
  EXPECT_EQ(cache.picture({b, QSize(120, 80), 0}).size(), QSize(120, 80));
  EXPECT_EQ(cache.decodeCount(), 3);
  cache.prepare({b}, at(kShown));
  cache.waitUntilIdle();
  const int before = cache.decodeCount();
  picture("b.jpg", Qt::blue);
  EXPECT_TRUE(near(middle(cache.picture({b, kShown, 0})), Qt::blue));
  cache.prepare({a}, at(kShown));
  cache.waitUntilIdle();
  QFile file(a);
  ASSERT_TRUE(file.open(QIODevice::ReadWrite));
  ASSERT_TRUE(
      file.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime));
  file.close();
  EXPECT_TRUE(near(middle(cache.picture({a, kShown, 0})), Qt::red));
  EXPECT_EQ(cache.decodeCount(), before + 3);  // b again, a prepared, a drawn afresh

  // Switched off, nothing is held and every display decodes.
  cache.setEnabled(false);
  cache.picture({a, kShown, 0});
  cache.picture({a, kShown, 0});
  EXPECT_EQ(cache.decodeCount(), before + 5);
  EXPECT_EQ(cache.heldFiles(), QStringList({QString()}));
}

TEST_F(PictureCacheTest, ADamagedFileIsTriedOncePerDisplayAndNeverKept) {
  const QString bad = picture("bad.jpg", Qt::red);
  QByteArray bytes = testing::ReadBytes(bad);
  ASSERT_TRUE(testing::WriteBytes(bad, bytes.left(bytes.size() / 2)));
  cache.prepare({bad}, at(kShown));
  cache.waitUntilIdle();
  EXPECT_EQ(cache.decodeCount(), 1);
  EXPECT_EQ(cache.heldFiles(), QStringList({QString()}));
  // The display after it says why from the attempt already made; the next one tries again.
  for (const int decodes : {1, 2}) {
    QString why = QStringLiteral("unchanged");
    EXPECT_TRUE(cache.picture({bad, kShown, 0}, &why).isNull());
    EXPECT_EQ(why, cannotReadPictureText());
    EXPECT_EQ(cache.decodeCount(), decodes);
  }
  // A missing file: no picture, the same text, nothing held.
  QString why;
  EXPECT_TRUE(cache.picture({dir.filePath("gone.jpg"), kShown, 0}, &why).isNull());
  EXPECT_EQ(why, cannotReadPictureText());
  EXPECT_EQ(cache.heldFiles(), QStringList({QString()}));
}

TEST_F(PictureCacheTest, APreparationTurnedAwayFromStopsEarlyAndFreesWhatItHeld) {
  const QString small = picture("small.jpg", Qt::green);
  // These take a while to draw: our JPEG decoder at its full DCT scale, reducing 24 MP to
  // 6 MP, and libvips' PNG reader reducing 24 MP; each stops on its own.
  const QSize jpeg(3100 / kLarge, 2067 / kLarge), png(1500 / kLarge, 1000 / kLarge);
  for (auto [large, request] :
       {std::pair{picture("large.jpg", Qt::red, 6000 / kLarge, 4000 / kLarge), jpeg},
        {picture("large.png", Qt::red, 6000 / kLarge, 4000 / kLarge), png}}) {
    QElapsedTimer clock;
    clock.start();
    ASSERT_FALSE(loadScaledPicture(large, request, Qt::white, Qt::KeepAspectRatio, 0).isNull());
    const qint64 whole = clock.elapsed();
    for (const bool closing : {false, true}) {
      auto local = std::make_unique<PictureCache>();
      local->prepare({large}, at(request));
      QThread::msleep(whole / 10);
      clock.restart();
      if (closing) {
        local.reset();  // the window closes: the thread ends with the preparation
        if (kTimed) EXPECT_LT(clock.elapsed(), whole) << large.toStdString();
        continue;
      }
      local->prepare({}, at(kShown));  // the user stepped the other way
      local->waitUntilIdle();
      EXPECT_EQ(local->decodeCount(), 0) << large.toStdString() << " was finished";
      local->prepare({small}, at(kShown));
      local->waitUntilIdle();
      EXPECT_EQ(local->heldFiles(), QStringList({QString(), small}));
      EXPECT_LT(local->heldBytes(), 100000);
      EXPECT_EQ(local->decodeCount(), 1);
    }
  }
}

TEST_F(PictureCacheTest, ADisplayOfThePictureBeingPreparedWaitsForItInsteadOfDecodingTwice) {
  const QString large = picture("large.jpg", Qt::blue, 4000 / kLarge, 3000 / kLarge);
  cache.prepare({large}, at(QSize(1000, 750), 2000));
  QThread::msleep(20);
  const QImage shown = cache.picture({large, QSize(1000, 750), 2000});
  EXPECT_TRUE(near(middle(shown), Qt::blue));
  EXPECT_EQ(cache.decodeCount(), 1);
  // Asked for another size meanwhile, the preparation is not waited for.
  cache.prepare({large}, at(QSize(1000, 750), 2000));
  EXPECT_EQ(cache.picture({large, QSize(400, 300), 2000}).size(), QSize(400, 300));
  EXPECT_FALSE(cache.picture({large, QSize(1000, 750), 2000}).isNull());  // not a failure
  cache.waitUntilIdle();
  EXPECT_EQ(cache.heldFiles().first(), large);
}

}  // namespace
}  // namespace trimora
