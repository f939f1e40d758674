#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include "GDIPlus.h"
#include "ImagingPictures.h"
#include "TestPictures.h"

// Damaged, hostile and degenerate files: each gives no picture (sizes left as
// they were) or a correct canvas, quickly, and within a stated memory bound.
namespace trimora {
namespace {

// No load may take longer than this, even on a slow sanitizer build.
constexpr qint64 kLoadLimitMs = 10000;

// Loads path at -1/-1 and at a zoom-like size; checks the no-picture contract.
void LoadSafely(const QString& path, const QString& what) {
  int fw = 1234, fh = 5678;
  QElapsedTimer clock;
  clock.start();
  GetPictureFileSize(path, fw, fh);
  const bool sized = !(fw == 1234 && fh == 5678);
  for (QSize ask : {QSize(-1, -1), QSize(300, 200), QSize(40, 30)}) {
    int w = ask.width(), h = ask.height();
    const QImage canvas = LoadDisplayPicture(path, w, h, true);
    if (canvas.isNull()) {
      EXPECT_EQ(QSize(w, h), ask) << qPrintable(what) << ": sizes changed without a picture";
    } else {
      EXPECT_TRUE(sized) << qPrintable(what) << ": drawn but no size";
      EXPECT_EQ(canvas.size(), CanvasSizeFor({fw, fh}, ask.width(), ask.height(), 2000))
          << qPrintable(what);
      EXPECT_EQ(canvas.size(), QSize(w, h)) << qPrintable(what);
    }
  }
  EXPECT_LT(clock.elapsed(), kLoadLimitMs) << qPrintable(what);
}

class BadInput : public ::testing::Test {
 protected:
  QString Path(const QString& name) { return dir.filePath(name); }
  QTemporaryDir dir;
};

TEST_F(BadInput, TruncatedAndBitFlippedFilesOfEveryFormat) {
  const QImage picture = testing::PatternImage(160, 120, 4);
  const QString originals[] = {
      testing::WritePicture(Path("p.jpg"), 160, 120, 4),
      testing::WritePicture(Path("p.png"), 160, 120, 4),
      testing::SaveWithVips(picture, Path("p.gif")) ? Path("p.gif") : QString(),
      testing::WriteBmp(picture, Path("p.bmp"), testing::BmpKind::Rgb24) ? Path("p.bmp")
                                                                         : QString(),
      testing::WriteBmp(
          picture.convertToFormat(QImage::Format_Indexed8).convertToFormat(QImage::Format_RGB32),
          Path("r.bmp"), testing::BmpKind::Rle8)
          ? Path("r.bmp")
          : QString(),
  };
  for (const QString& original : originals) {
    ASSERT_FALSE(original.isEmpty());
    const QByteArray bytes = testing::ReadBytes(original);
    const QString suffix = original.mid(original.lastIndexOf('.'));
    for (double keep : {0.0, 0.02, 0.1, 0.5, 0.9, 0.99}) {
      const QString cut = Path(QStringLiteral("cut%1").arg(keep) + suffix);
      ASSERT_TRUE(testing::WriteBytes(cut, bytes.left(qsizetype(bytes.size() * keep))));
      LoadSafely(cut, cut);
    }
    for (int seed = 1; seed <= 12; ++seed) {
      QByteArray flipped = bytes;
      // Flip a few bits at pseudo-random places, headers included.
      unsigned state = unsigned(seed) * 2654435761u;
      for (int k = 0; k < 1 + seed % 4; ++k) {
        state = state * 1103515245u + 12345u;
        const qsizetype at = qsizetype(state % unsigned(flipped.size()));
        flipped[at] = char(flipped[at] ^ (1 << (state >> 28) % 8));
      }
      const QString path = Path(QStringLiteral("flip%1").arg(seed) + suffix);
      ASSERT_TRUE(testing::WriteBytes(path, flipped));
      LoadSafely(path, path);
    }
  }
}

TEST_F(BadInput, FilesThatAreNoPictures) {
  ASSERT_TRUE(testing::WriteBytes(Path("empty.jpg"), {}));
  ASSERT_TRUE(testing::WriteBytes(Path("text.jpg"), "This is not a picture.\n"));
  ASSERT_TRUE(testing::WriteBytes(Path("bm.bmp"), "BM but nothing else"));
  // A named pipe would block a reader until something writes to it.
  ASSERT_EQ(::mkfifo(QFile::encodeName(Path("pipe.jpg")).constData(), 0600), 0);
  for (const QString& path : {Path("empty.jpg"), Path("text.jpg"), Path("bm.bmp"), Path("pipe.jpg"),
                              Path("missing.png"), dir.path(), QString()}) {
    int fw = 7, fh = 9;
    GetPictureFileSize(path, fw, fh);
    EXPECT_EQ(QSize(fw, fh), QSize(7, 9)) << qPrintable(path);
    int w = -1, h = -1;
    EXPECT_TRUE(LoadDisplayPicture(path, w, h, true).isNull()) << qPrintable(path);
    EXPECT_EQ(QSize(w, h), QSize(-1, -1));
  }
}

TEST_F(BadInput, DegenerateSizesGiveCorrectCanvases) {
  // 1 x 1: the one pixel, enlarged or not.
  ASSERT_FALSE(testing::WritePicture(Path("one.png"), 1, 1, 0, QColor(10, 20, 30)).isEmpty());
  int w = -1, h = -1;
  QImage canvas = LoadDisplayPicture(Path("one.png"), w, h, true);
  ASSERT_EQ(canvas.size(), QSize(1, 1));
  EXPECT_EQ(canvas.pixel(0, 0), qRgb(10, 20, 30));
  w = h = 100;
  canvas = LoadDisplayPicture(Path("one.png"), w, h, true);
  ASSERT_EQ(canvas.size(), QSize(100, 100));
  EXPECT_EQ(canvas.pixel(50, 50), qRgb(10, 20, 30));

  // 1 x 20000: capped to 1 x 2000, where the fitted width rounds to 0 and the
  // canvas stays white; stretched, the strip fills it.
  ASSERT_FALSE(testing::WritePicture(Path("strip.png"), 1, 20000, 0, Qt::black).isEmpty());
  w = h = -1;
  canvas = LoadDisplayPicture(Path("strip.png"), w, h, true);
  ASSERT_EQ(canvas.size(), QSize(1, 2000));
  EXPECT_EQ(canvas.pixel(0, 1000), qRgb(255, 255, 255));
  w = 100, h = 100;
  canvas = LoadDisplayPicture(Path("strip.png"), w, h, false);
  ASSERT_EQ(canvas.size(), QSize(100, 100));
  EXPECT_EQ(canvas.pixel(50, 50), qRgb(0, 0, 0));
}

// The bound: showing a picture never holds more than kPixelBudget of libvips
// pixel memory, however large the picture declares or decodes to; a picture
// over kMaxPicturePixels is refused before decoding.
constexpr std::size_t kPixelBudget = std::size_t(64) << 20;

TEST_F(BadInput, DecompressionBombsStayWithinTheMemoryBound) {
  // Declares 100000 x 100000 (30 GB as RGB) in a few hundred bytes.
  ASSERT_TRUE(testing::WriteZeroPng(Path("vast.png"), 100000, 100000, 2));
  LoadSafely(Path("vast.png"), "vast");
  int w = -1, h = -1;
  EXPECT_TRUE(LoadDisplayPicture(Path("vast.png"), w, h, true).isNull());

  // Really decodes to 6000 x 6000 (108 MB as RGB) from about 40 kB.
  ASSERT_TRUE(testing::WriteZeroPng(Path("bomb.png"), 6000, 6000, 6000));
  EXPECT_LT(testing::ReadBytes(Path("bomb.png")).size(), 200 * 1024);
  QElapsedTimer clock;
  clock.start();
  w = h = -1;
  const QImage canvas = LoadDisplayPicture(Path("bomb.png"), w, h, true);
  EXPECT_LT(clock.elapsed(), kLoadLimitMs);
  ASSERT_EQ(canvas.size(), QSize(2000, 2000));
  EXPECT_EQ(canvas.pixel(1000, 1000), qRgb(0, 0, 0));
  EXPECT_LT(testing::VipsPixelMemoryHighWater(), kPixelBudget);
}

}  // namespace
}  // namespace trimora
