#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <turbojpeg.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QSet>
#include <QTemporaryDir>
#include <csignal>
#include <cstring>

#include "Bitmap24.h"
#include "FakeServices.h"
#include "JpegWriter.h"
#include "SafeFileWrite.h"
#include "WorkspaceFixture.h"

// A cut's way to disk: the 24-bit bitmap that holds it, and the JPEG writer.
namespace trimora {
namespace {

QImage pixelsOf(const Bitmap24& bitmap) {
  QImage image(bitmap.size(), QImage::Format_RGB32);
  return bitmap.paintOnto(image) ? image : QImage();
}

// The bitmap's layout (padded bottom-up rows of blue, green, red) shows in what the writer writes.
TEST(Bitmap24, TransfersClippedAndCombinedResamplesAndRefuses) {
  testing::FakeServices fakes;
  Bitmap24 a(&fakes.messages), b;
  const QImage picture = testing::PatternImage(41, 30, 6);
  a.createFromImage(picture.convertToFormat(QImage::Format_ARGB32));  // alpha dropped
  EXPECT_TRUE(pixelsOf(a) == picture && a.bytesPerLine() == 124 && a.bitmapHandle());
  // 6 columns from a picture, then onto one at an offset; from another bitmap: all clipped.
  ASSERT_TRUE(b.create({10, 10}));
  std::memset(b.bits(), 0x11, b.header().imageSize);
  ASSERT_TRUE(b.copyFrom(picture, {3, 4}, {6, -1}));
  QImage canvas(20, 20, QImage::Format_RGB32);
  canvas.fill(Qt::black);
  ASSERT_TRUE(b.paintOnto(canvas, {15, 14}, {-1, 3}, {1, 0}));
  EXPECT_EQ(canvas.copy(15, 14, 5, 3), picture.copy(4, 4, 5, 3));
  EXPECT_EQ(canvas.pixel(14, 14) | canvas.pixel(15, 17) | pixelsOf(b).pixel(6, 0), 0xFF111111);
  ASSERT_TRUE(b.copyFrom(a.surfaceHandle(), {36, 25}) && !b.copyFrom(a.bitmapHandle()));
  EXPECT_EQ(pixelsOf(b).copy(0, 0, 5, 5), picture.copy(36, 25, 5, 5));
  // Xor twice from a picture restores; at its own size a bitmap resamples to a copy.
  ASSERT_TRUE(a.copyFrom(picture, {}, {}, RasterOp::Xor) && pixelsOf(a).pixel(3, 3) == 0xFF000000);
  ASSERT_TRUE(a.copyFrom(picture, {}, {}, RasterOp::Xor) && pixelsOf(a) == picture);
  EXPECT_TRUE(pixelsOf(*a.resampled({41, 30})) == picture && a.resampled({82, 30}));
  EXPECT_TRUE(a.copyToClipboard() && QGuiApplication::clipboard()->image() == picture);
  EXPECT_FALSE(a.copyToClipboard(Bitmap24::ClipboardFormat::DeviceIndependentBitmap));
  EXPECT_TRUE(fakes.messages.texts().value(0).startsWith("I don't know how to put a DIB on"));
  // Cleared or refused, a bitmap has no pixels nor handles and keeps the size asked.
  a.clear();
  EXPECT_TRUE(!a.surfaceHandle() && !a.constBits() && a.width() == 41 && !a.resampled({4, 4}));
  for (QSize refused : {QSize(0, 10), QSize(10, -1), QSize(1 << 30, 1 << 30)})
    EXPECT_TRUE(!a.create(refused) && a.surfaceHandle() == 0 && a.size() == refused);
  ASSERT_TRUE(a.create({10, 10}));
  EXPECT_TRUE(a.allocatePixels({30000, 30000}) == 0 && !a.constBits());
  EXPECT_FALSE(a.copyFrom(picture) || b.paintOnto(a.surfaceHandle()));
  for (auto grey : {true, false}) {  // noise: grey, or green and red on no blue; padding untouched
    ASSERT_TRUE(a.create({31, 9}));
    a.fillWithNoise(grey ? Bitmap24::Noise::Grey : Bitmap24::Noise::GreenAndRed);
    QSet<QRgb> colours;
    for (int i = 0; i < 31 * 9; ++i) colours << pixelsOf(a).pixel(i % 31, i / 31);
    for (QRgb c : colours)
      EXPECT_TRUE(grey ? qRed(c) == qBlue(c) && qGreen(c) == qBlue(c) : !qBlue(c));
    EXPECT_GT(colours.size(), 100);
    for (int y = 0; y < 9; ++y) EXPECT_EQ(a.bits()[y * 96 + 94] | a.bits()[y * 96 + 95], 0);
  }
}

// Every write gives a new file (number None) or an error, and leaves no other trace. Where
// renaming without replacing and linking answer EPERM or ENOSYS (FAT through FUSE), the file is
// created exclusively, still never replacing one. A file replaced keeps its times and mode.
TEST(JpegWriter, EachWriteGivesANewFileOrAnErrorAndLeavesEveryOtherFileAsItWas) {
  QTemporaryDir dir;
  const auto path = [&](const QString& name) { return dir.filePath(name); };
  const QImage picture = testing::PatternImage(101, 67, 3);  // 101 wide: padded rows
  const auto errorOf = [&](const QString& name) {
    return testing::meanDifference(QImage(path(name)), picture);
  };
  // Each entry's size and time of change: reading would change the access times.
  const auto contents = [&] {
    QMap<QString, QString> entries;
    const auto all = QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot;
    for (const QFileInfo& f : QDir(dir.path()).entryInfoList(all))
      entries[f.fileName()] =
          f.lastModified().toString(Qt::ISODateWithMs) + QString::number(f.size());
    return entries;
  };
  Bitmap24 bitmap;
  bitmap.createFromImage(picture);
  std::signal(SIGXFSZ, SIG_IGN);  // a write past the size limit fails instead
  const struct timespec times[2] = {{1000000000, 123456789}, {1100000000, 987654321}};
  const QByteArray old = QFile::encodeName(path("old.jpg"));
  ASSERT_TRUE(testing::WriteBytes(path("old.jpg"), "old") && ::chmod(old.data(), 0640) == 0 &&
              ::utimensat(AT_FDCWD, old.data(), times, 0) == 0);
  ASSERT_TRUE(testing::WriteBytes(path("keep.jpg"), "the only copy") &&
              testing::WriteBytes(path("blocker"), "a file, not a folder") &&
              QDir(dir.path()).mkdir("taken.jpg") &&
              QFile::link(path("nowhere/x"), path("dangling")));
  // Name, mode, what renaming and linking answer, the most a file may grow to: number, text.
  using Write = std::tuple<QString, WriteMode, int, rlim_t, long, const char*>;
  using E = WriteError;
  const auto replace = WriteMode::Replace, createNew = WriteMode::CreateNew;
  const rlim_t any = RLIM_INFINITY;
  // clang-format off
  for (auto [name, mode, refusal, sizeLimit, number, says] : {
           Write{"no/such/out.jpg", replace, 0, any, E::PathNotFound, ": No such file or"},
           Write{"blocker/out.jpg", createNew, 0, any, E::PathNotFound, "Not a directory"},
           Write{"taken.jpg", replace, 0, any, E::FileIo, "Is a directory"},
           Write{"keep.jpg", createNew, 0, any, E::FileAlreadyExists, "File already exists: "},
           Write{"new.jpg", createNew, ENOSPC, any, E::DiskFull, "No space left"},
           Write{"new.jpg", createNew, EACCES, any, E::PermissionDenied, "Permission denied"},
           Write{"new.jpg", replace, 0, 512, E::FileIo, "File too large"},
           Write{"keep.jpg", replace, 0, any, E::EncoderFailed, "Failed to save to JPG -1"},
           Write{"keep.jpg", createNew, EPERM, any, E::FileAlreadyExists, "File already exists"},
           Write{"fat.jpg", createNew, EPERM, any, E::None, ""},
           Write{"exfat.jpg", createNew, ENOSYS, any, E::None, ""},
           Write{QString(80, QChar(0x5199)) + ".jpg", createNew, 0, any, E::None, ""}}) {
    // clang-format on
    SCOPED_TRACE(name.toStdString() + " " + std::to_string(refusal));
    auto before = contents();
    static int answer;
    answer = refusal;
    const auto refuse = +[](const char*, const char*) { return errno = answer, -1; };
    if (refusal != 0) imaging::setFileSystemCalls({refuse, refuse});
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const rlimit limit{std::min(sizeLimit, old.rlim_max), old.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limit);
    const Bitmap24 empty;
    const WriteError error =
        writeJpegFile(number == WriteError::EncoderFailed ? empty : bitmap, path(name), 95, mode);
    setrlimit(RLIMIT_FSIZE, &old);
    imaging::resetFileSystemCalls();
    EXPECT_TRUE(error.number == number && error.description.contains(says))
        << error.number << ": " << error.description.toStdString();
    EXPECT_TRUE(!error || number == WriteError::EncoderFailed ||
                error.description.contains(path(name)));
    EXPECT_TRUE(!error || error.source.endsWith(".JpegWriter")) << error.source.toStdString();
    if (!error) before[name] = contents().value(name, "missing");
    EXPECT_TRUE(error || errorOf(name) < 6);
    EXPECT_EQ(contents(), before);
  }
  ASSERT_FALSE(writeJpegFile(bitmap, path("old.jpg"), 90));  // replaced, it keeps times and mode
  struct stat after {};
  ASSERT_EQ(::stat(old.constData(), &after), 0);
  EXPECT_TRUE((after.st_mode & 07777) == 0640 && after.st_mtim.tv_nsec == times[1].tv_nsec);
  EXPECT_TRUE(after.st_atim.tv_sec == times[0].tv_sec && after.st_mtim.tv_sec == times[1].tv_sec);
  EXPECT_TRUE(jpegSubsamplingFor(89) == TJSAMP_420 && jpegSubsamplingFor(90) == TJSAMP_444);
  ASSERT_FALSE(writeJpegFile(bitmap, path("q1.jpg"), 1));
  EXPECT_TRUE(errorOf("q1.jpg") > 10 &&
              QFileInfo(path("q1.jpg")).size() * 4 < QFileInfo(path("fat.jpg")).size());
}

}  // namespace
}  // namespace trimora
