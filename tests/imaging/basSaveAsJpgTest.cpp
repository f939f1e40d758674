#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include "ImagingPictures.h"
#include "TestPictures.h"
#include "basSaveAsJpg.h"
#include "cDIBSection.h"

// The JPEG writer: what it writes, and that it never loses the file it replaces.
namespace trimora {
namespace {

double MeanAbsoluteError(const QImage& a, const QImage& b) {
  double sum = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
             std::abs(qBlue(p) - qBlue(q));
    }
  }
  return sum / (3.0 * a.width() * a.height());
}

class JpegWriter : public ::testing::Test {
 protected:
  void SetUp() override {
    picture = testing::PatternImage(101, 67, 3);
    dib.CreateFromPicture(picture);
    ASSERT_NE(dib.DIBSectionBitsPtr(), nullptr);
  }
  QString Path(const char* name) const { return dir.filePath(QLatin1String(name)); }
  QStringList Entries() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }

  QTemporaryDir dir;
  QImage picture;
  cDIBSection dib;
};

TEST_F(JpegWriter, WritesTheBitmapUprightAtItsSize) {
  ErrInfo err;
  ASSERT_TRUE(WriteJpegFile(dib, Path("out.jpg"), 100, err)) << qPrintable(err.Description);
  EXPECT_EQ(err.Number, 0);
  QImage written(Path("out.jpg"));
  ASSERT_EQ(written.size(), QSize(101, 67));  // 101 wide: one padding byte per row
  EXPECT_LT(MeanAbsoluteError(written, picture), 3.0);

  ASSERT_TRUE(WriteJpegFile(dib, Path("q1.jpg"), 1, err));
  QImage rough(Path("q1.jpg"));
  ASSERT_EQ(rough.size(), QSize(101, 67));
  EXPECT_LT(QFileInfo(Path("q1.jpg")).size(), QFileInfo(Path("out.jpg")).size());
  EXPECT_GT(MeanAbsoluteError(rough, picture), MeanAbsoluteError(written, picture));
  EXPECT_EQ(Entries(), QStringList({"out.jpg", "q1.jpg"}));
}

TEST_F(JpegWriter, ReplacingKeepsTimesAndPermissions) {
  const QByteArray target = QFile::encodeName(Path("old.jpg"));
  ASSERT_TRUE(testing::WriteBytes(Path("old.jpg"), "previous contents"));
  ASSERT_EQ(::chmod(target.constData(), 0640), 0);
  const struct timespec times[2] = {{1000000000, 123456789}, {1100000000, 987654321}};
  ASSERT_EQ(::utimensat(AT_FDCWD, target.constData(), times, 0), 0);

  ErrInfo err;
  ASSERT_TRUE(WriteJpegFile(dib, Path("old.jpg"), 90, err)) << qPrintable(err.Description);
  struct stat after {};
  ASSERT_EQ(::stat(target.constData(), &after), 0);
  EXPECT_EQ(after.st_mode & 07777, 0640u);
  EXPECT_EQ(after.st_atim.tv_sec, times[0].tv_sec);
  EXPECT_EQ(after.st_atim.tv_nsec, times[0].tv_nsec);
  EXPECT_EQ(after.st_mtim.tv_sec, times[1].tv_sec);
  EXPECT_EQ(after.st_mtim.tv_nsec, times[1].tv_nsec);
  EXPECT_EQ(QImage(Path("old.jpg")).size(), QSize(101, 67));
  EXPECT_EQ(Entries(), QStringList({"old.jpg"}));
}

TEST_F(JpegWriter, FailedEncodeLeavesTheOldFileAndNoStrayFile) {
  ASSERT_TRUE(testing::WriteBytes(Path("keep.jpg"), "the only copy"));
  cDIBSection empty;  // never filled: the encoder refuses it
  ErrInfo err;
  EXPECT_FALSE(WriteJpegFile(empty, Path("keep.jpg"), 90, err));
  EXPECT_EQ(err.Number, kErrJpegLibrary);
  EXPECT_EQ(err.Description, QStringLiteral("Failed to save to JPG -1"));
  EXPECT_TRUE(err.Source.endsWith(QStringLiteral(".mIntelJPEGLibrary"))) << qPrintable(err.Source);
  EXPECT_EQ(testing::ReadBytes(Path("keep.jpg")), QByteArray("the only copy"));
  EXPECT_EQ(Entries(), QStringList({"keep.jpg"}));
}

TEST_F(JpegWriter, FolderProblemsAreReportedWithReasonAndPath) {
  ErrInfo err;
  const QString missing = dir.filePath("no/such/folder/out.jpg");
  EXPECT_FALSE(WriteJpegFile(dib, missing, 90, err));
  EXPECT_EQ(err.Number, kErrPathNotFound);
  EXPECT_TRUE(err.Description.contains(missing)) << qPrintable(err.Description);
  EXPECT_TRUE(err.Description.contains(QStringLiteral("No such file or directory")));

  // A directory where the file should go is not replaced.
  ASSERT_TRUE(QDir(dir.path()).mkdir("taken.jpg"));
  EXPECT_FALSE(WriteJpegFile(dib, Path("taken.jpg"), 90, err));
  EXPECT_NE(err.Number, 0);
  EXPECT_TRUE(QFileInfo(Path("taken.jpg")).isDir());

  if (::geteuid() != 0) {  // the superuser writes into read-only folders
    ASSERT_TRUE(QDir(dir.path()).mkdir("locked"));
    ASSERT_EQ(::chmod(QFile::encodeName(Path("locked")).constData(), 0555), 0);
    EXPECT_FALSE(WriteJpegFile(dib, dir.filePath("locked/out.jpg"), 90, err));
    EXPECT_EQ(err.Number, kErrPermissionDenied);
    ::chmod(QFile::encodeName(Path("locked")).constData(), 0755);
  }
  EXPECT_EQ(Entries(), QStringList());
}

TEST_F(JpegWriter, CreateNewTakesOnlyAFreeName) {
  ErrInfo err;
  ASSERT_TRUE(WriteJpegFile(dib, Path("crop.jpg"), 85, err, SaveMode::CreateNew));
  EXPECT_EQ(QImage(Path("crop.jpg")).size(), QSize(101, 67));
  const QByteArray first = testing::ReadBytes(Path("crop.jpg"));

  cDIBSection other;
  other.CreateFromPicture(testing::PatternImage(50, 40, 9));
  EXPECT_FALSE(WriteJpegFile(other, Path("crop.jpg"), 85, err, SaveMode::CreateNew));
  EXPECT_EQ(err.Number, kErrFileAlreadyExists);
  EXPECT_TRUE(err.Description.contains(Path("crop.jpg")));
  EXPECT_EQ(testing::ReadBytes(Path("crop.jpg")), first);
  EXPECT_EQ(Entries(), QStringList({"crop.jpg"}));
}

}  // namespace
}  // namespace trimora
