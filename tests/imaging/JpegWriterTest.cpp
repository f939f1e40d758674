#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QTemporaryDir>
#include <cerrno>

#include "Bitmap24.h"
#include "ImagingPictures.h"
#include "JpegWriter.h"
#include "SafeFileWrite.h"
#include "TestPictures.h"

// The JPEG writer: what it writes, and that it never loses the file it replaces.
namespace trimora {
namespace {

class JpegWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bitmap.createFromImage(picture);
    ASSERT_NE(bitmap.constBits(), nullptr);
  }
  QString Path(const char* name) const { return dir.filePath(QLatin1String(name)); }
  QStringList Entries() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }
  // The mean difference per channel between the file at path and the picture.
  double ErrorOf(const char* name) const {
    const QImage written(Path(name));
    EXPECT_EQ(written.size(), picture.size());
    double sum = 0;
    for (int y = 0; y < picture.height(); ++y) {
      for (int x = 0; x < picture.width(); ++x) {
        const QRgb p = written.pixel(x, y), q = picture.pixel(x, y);
        sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
               std::abs(qBlue(p) - qBlue(q));
      }
    }
    return sum / (3.0 * picture.width() * picture.height());
  }

  QTemporaryDir dir;
  const QImage picture = testing::PatternImage(101, 67, 3);  // 101 wide: padded rows
  Bitmap24 bitmap;
  WriteError err;
};

TEST_F(JpegWriterTest, WritesTheBitmapUprightAtItsSizeAndQuality) {
  err = writeJpegFile(bitmap, Path("out.jpg"), 100);
  ASSERT_FALSE(err) << qPrintable(err.description);
  EXPECT_LT(ErrorOf("out.jpg"), 3.0);
  ASSERT_FALSE(writeJpegFile(bitmap, Path("q1.jpg"), 1));
  EXPECT_LT(QFileInfo(Path("q1.jpg")).size(), QFileInfo(Path("out.jpg")).size());
  EXPECT_GT(ErrorOf("q1.jpg"), ErrorOf("out.jpg"));
  EXPECT_EQ(Entries(), QStringList({"out.jpg", "q1.jpg"}));
}

TEST_F(JpegWriterTest, ReplacingKeepsTimesAndPermissions) {
  const QByteArray target = QFile::encodeName(Path("old.jpg"));
  ASSERT_TRUE(testing::WriteBytes(Path("old.jpg"), "previous contents"));
  ASSERT_EQ(::chmod(target.constData(), 0640), 0);
  const struct timespec times[2] = {{1000000000, 123456789}, {1100000000, 987654321}};
  ASSERT_EQ(::utimensat(AT_FDCWD, target.constData(), times, 0), 0);

  err = writeJpegFile(bitmap, Path("old.jpg"), 90);
  ASSERT_FALSE(err) << qPrintable(err.description);
  struct stat after {};
  ASSERT_EQ(::stat(target.constData(), &after), 0);
  EXPECT_EQ(after.st_mode & 07777, 0640u);
  EXPECT_EQ(after.st_atim.tv_sec, times[0].tv_sec);
  EXPECT_EQ(after.st_atim.tv_nsec, times[0].tv_nsec);
  EXPECT_EQ(after.st_mtim.tv_sec, times[1].tv_sec);
  EXPECT_EQ(after.st_mtim.tv_nsec, times[1].tv_nsec);
  EXPECT_LT(ErrorOf("old.jpg"), 6.0);
  EXPECT_EQ(Entries(), QStringList({"old.jpg"}));
}

TEST_F(JpegWriterTest, FailuresAreReportedAndLeaveTheOldFileAndNoStrayFile) {
  ASSERT_TRUE(testing::WriteBytes(Path("keep.jpg"), "the only copy"));
  Bitmap24 empty;  // never filled: the encoder refuses it
  err = writeJpegFile(empty, Path("keep.jpg"), 90);
  EXPECT_EQ(err.number, WriteError::EncoderFailed);
  EXPECT_EQ(err.description, QStringLiteral("Failed to save to JPG -1"));
  EXPECT_TRUE(err.source.endsWith(QStringLiteral(".JpegWriter"))) << qPrintable(err.source);
  EXPECT_EQ(testing::ReadBytes(Path("keep.jpg")), QByteArray("the only copy"));

  const QString missing = dir.filePath("no/such/folder/out.jpg");
  err = writeJpegFile(bitmap, missing, 90);
  EXPECT_EQ(err.number, WriteError::PathNotFound);
  EXPECT_TRUE(err.description.contains(missing + ": No such file or directory"))
      << qPrintable(err.description);
  // A folder where the file should go is not replaced.
  ASSERT_TRUE(QDir(dir.path()).mkdir("taken.jpg"));
  EXPECT_TRUE(writeJpegFile(bitmap, Path("taken.jpg"), 90));
  EXPECT_TRUE(QFileInfo(Path("taken.jpg")).isDir());
  if (::geteuid() != 0) {  // the superuser writes into read-only folders
    ASSERT_TRUE(QDir(dir.path()).mkdir("locked"));
    ASSERT_EQ(::chmod(QFile::encodeName(Path("locked")).constData(), 0555), 0);
    EXPECT_EQ(writeJpegFile(bitmap, dir.filePath("locked/out.jpg"), 90).number,
              WriteError::PermissionDenied);
    ::chmod(QFile::encodeName(Path("locked")).constData(), 0755);
  }
  EXPECT_EQ(Entries(), QStringList({"keep.jpg"}));
}

TEST_F(JpegWriterTest, CreateNewTakesOnlyAFreeName) {
  ASSERT_FALSE(writeJpegFile(bitmap, Path("crop.jpg"), 95, WriteMode::CreateNew));
  EXPECT_LT(ErrorOf("crop.jpg"), 6.0);
  const QByteArray first = testing::ReadBytes(Path("crop.jpg"));
  err = writeJpegFile(bitmap, Path("crop.jpg"), 50, WriteMode::CreateNew);
  EXPECT_EQ(err.number, WriteError::FileAlreadyExists);
  EXPECT_TRUE(err.description.contains(Path("crop.jpg")));
  EXPECT_EQ(testing::ReadBytes(Path("crop.jpg")), first);
  EXPECT_EQ(Entries(), QStringList({"crop.jpg"}));
}

TEST_F(JpegWriterTest, ANameAtTheFileSystemsLengthLimitIsWritten) {
  // 80 three-byte characters and ".jpg": 244 bytes, under the 255-byte limit,
  // which a temporary name built from it would pass.
  const QString name = QString(80, QChar(0x5199)) + QStringLiteral(".jpg");
  ASSERT_EQ(QFile::encodeName(name).size(), 244);
  err = writeJpegFile(bitmap, dir.filePath(name), 90, WriteMode::CreateNew);
  ASSERT_FALSE(err) << err.description.toStdString();
  EXPECT_EQ(Entries(), QStringList({name}));
}

// A file system that can neither rename without replacing nor link (FAT
// through FUSE answers EPERM or ENOSYS): the cut is written straight into an
// exclusively created file, which still never replaces one.
TEST_F(JpegWriterTest, WithoutNoReplaceRenameOrLinksTheFileIsCreatedExclusively) {
  for (int refusal : {EPERM, ENOSYS}) {
    static int error;
    error = refusal;
    auto refuse = +[](const char*, const char*) {
      errno = error;
      return -1;
    };
    imaging::setFileSystemCalls({refuse, refuse});
    const QString path = Path("fat.jpg");
    QFile::remove(path);
    EXPECT_FALSE(writeJpegFile(bitmap, path, 95, WriteMode::CreateNew)) << refusal;
    EXPECT_LT(ErrorOf("fat.jpg"), 6.0);
    const QByteArray first = testing::ReadBytes(path);
    EXPECT_EQ(writeJpegFile(bitmap, path, 50, WriteMode::CreateNew).number,
              WriteError::FileAlreadyExists);
    EXPECT_EQ(testing::ReadBytes(path), first);
    EXPECT_EQ(Entries(), QStringList({"fat.jpg"}));  // no temporary file left
    imaging::resetFileSystemCalls();
  }
}

}  // namespace
}  // namespace trimora
