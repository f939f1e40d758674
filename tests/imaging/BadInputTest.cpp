#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QTemporaryDir>
#include <tuple>

#include "ImagingPictures.h"
#include "PictureLoader.h"
#include "TestPictures.h"

// Damaged and hostile files: each gives no picture (sizes left as
// they were) or a correct canvas, and stays within a stated memory bound.
namespace trimora {
namespace {

using testing::Kind;

// Loads path at its own size and at zoom-like sizes: either no picture, or a
// canvas of the size planned for the size the header gave.
void LoadSafely(const QString& path) {
  SCOPED_TRACE(path.toStdString());
  const std::optional<QSize> file = pictureFileSize(path);
  for (QSize ask : {QSize(-1, -1), QSize(300, 200), QSize(40, 30)}) {
    const QImage canvas = loadDisplayPicture(path, ask);
    if (!canvas.isNull()) {
      ASSERT_TRUE(file) << "drawn but no size";
      EXPECT_EQ(canvas.size(), canvasSizeFor(*file, ask, 2000));
    }
  }
}

TEST(BadInput, TruncatedAndBitFlippedFilesOfEveryFormat) {
  QTemporaryDir dir;
  const QImage picture = testing::PatternImage(160, 120, 4);
  const QImage few =
      picture.convertToFormat(QImage::Format_Indexed8).convertToFormat(QImage::Format_RGB32);
  const std::tuple<const char*, Kind, QImage> cases[] = {{"p.jpg", Kind::Vips, picture},
                                                         {"p.png", Kind::Vips, picture},
                                                         {"p.gif", Kind::Vips, picture},
                                                         {"p.bmp", Kind::Bmp24, picture},
                                                         {"r.bmp", Kind::BmpRle8, few}};
  for (auto [name, kind, image] : cases) {
    const QString path = dir.filePath(QLatin1String(name));
    ASSERT_TRUE(testing::WritePictureAs(kind, image, path));
    const QByteArray bytes = testing::ReadBytes(path);
    for (double keep : {0.0, 0.02, 0.1, 0.5, 0.9, 0.99}) {
      ASSERT_TRUE(testing::WriteBytes(path, bytes.left(qsizetype(bytes.size() * keep))));
      LoadSafely(path);
    }
    for (unsigned seed = 1; seed <= 12; ++seed) {
      // Flip a few bits at pseudo-random places, headers included.
      QByteArray flipped = bytes;
      unsigned state = seed * 2654435761u;
      for (unsigned k = 0; k < 1 + seed % 4; ++k) {
        state = state * 1103515245u + 12345u;
        const qsizetype at = qsizetype(state % unsigned(flipped.size()));
        flipped[at] = char(flipped[at] ^ (1 << (state >> 28) % 8));
      }
      ASSERT_TRUE(testing::WriteBytes(path, flipped));
      LoadSafely(path);
    }
  }
}

TEST(BadInput, FilesThatAreNoPictures) {
  QTemporaryDir dir;
  ASSERT_TRUE(testing::WriteBytes(dir.filePath("text.jpg"), "This is not a picture.\n"));
  ASSERT_TRUE(testing::WriteBytes(dir.filePath("bm.bmp"), "BM but nothing else"));
  // A named pipe would block a reader until something writes to it.
  ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("pipe.jpg")).constData(), 0600), 0);
  for (const QString& path :
       {dir.filePath("text.jpg"), dir.filePath("bm.bmp"), dir.filePath("pipe.jpg"),
        dir.filePath("missing.png"), dir.path(), QString()}) {
    SCOPED_TRACE(path.toStdString());
    EXPECT_FALSE(pictureFileSize(path));
    EXPECT_TRUE(loadDisplayPicture(path, {-1, -1}).isNull());
  }
}

TEST(BadInput, DecompressionBombsStayWithinTheMemoryBound) {
  QTemporaryDir dir;
  // Declares 100000 x 100000 (30 GB as RGB) in a few hundred bytes: refused.
  const QString vast = dir.filePath("vast.png");
  ASSERT_TRUE(testing::WriteZeroPng(vast, 100000, 100000, 2));
  LoadSafely(vast);
  EXPECT_TRUE(loadDisplayPicture(vast, {-1, -1}).isNull());

  // Really decodes to 6000 x 6000 (108 MB as RGB) from some 40 kB: shown
  // within 64 MB of libvips pixel memory.
  const QString bomb = dir.filePath("bomb.png");
  ASSERT_TRUE(testing::WriteZeroPng(bomb, 6000, 6000, 6000));
  EXPECT_LT(testing::ReadBytes(bomb).size(), 200 * 1024);
  const QImage canvas = loadDisplayPicture(bomb, {-1, -1});
  ASSERT_EQ(canvas.size(), QSize(2000, 2000));
  EXPECT_EQ(canvas.pixel(1000, 1000), qRgb(0, 0, 0));
  EXPECT_LT(testing::VipsPixelMemoryHighWater(), std::size_t(64) << 20);
}

}  // namespace
}  // namespace trimora
