#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QFile>
#include <csignal>
#include <functional>

#include "Battery.h"

// Faults of the file system under a running window: output folders that
// cannot take a file, input files that change behind the list, awkward names
// and link loops. After each the window still crops into a good folder, a
// failed cut is reported and leaves no file, and no existing file changes.
namespace trimora::testing {
namespace {

constexpr int kW = 64, kH = 48;
const QString kSaveError = QStringLiteral("Error saving picture!");

class FileSystemFaults : public Battery {
 protected:
  // Crops the shown picture into folder; returns the messages it caused.
  QStringList CropInto(const QString& folder) {
    window->setOutputFolder(folder);
    TakeMessages();
    statuses.clear();
    CropInTheMiddle();
    return TakeMessages();
  }
  bool ReportedSaved() const {
    return !statuses.isEmpty() && statuses.last().startsWith("Cropped to");
  }
};

struct OutputFault {
  const char* what;
  // Prepares the fault under root; returns the output folder to crop into.
  std::function<QString(const QString& root)> prepare;
};

TEST_F(FileSystemFaults, AnOutputFolderThatCannotTakeTheCutIsReportedAndLeavesNoFile) {
  WritePicture(in() + "/shot.png", 320, 240, 1);
  const QString root = this->root.path();
  ASSERT_TRUE(WriteBytes(root + "/blocker", "a regular file, not a folder\n"));
  const OutputFault faults[] = {
      {"a folder under a regular file", [](const QString& r) { return r + "/blocker/out/"; }},
      {"a folder removed with its parent mid-session",
       [](const QString& r) {
         QDir(r + "/gone").removeRecursively();
         return r + "/gone/out/";
       }},
      {"a name that is a dangling link to a missing folder",
       [](const QString& r) {
         QFile::link(r + "/nowhere/x", r + "/dangling");
         return r + "/dangling/";
       }},
  };
  StartOn(kW, kH);
  QDir().mkpath(root + "/gone/out");
  ASSERT_TRUE(CropInto(root + "/gone/out/").isEmpty());  // works before the folder goes
  ASSERT_TRUE(ReportedSaved());
  for (const OutputFault& fault : faults) {
    SCOPED_TRACE(fault.what);
    const QString folder = fault.prepare(root);
    const Fingerprint before = FingerprintOf(root);
    const QStringList messages = CropInto(folder);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(kSaveError)) << qPrintable(messages[0]);
    EXPECT_FALSE(ReportedSaved());
    const Fingerprint after = FingerprintOf(root);
    ExpectNothingChanged(before, after);
    EXPECT_EQ(after.size(), before.size()) << "a file appeared";
    // The window goes on working with a good folder.
    EXPECT_TRUE(CropInto(out()).isEmpty());
    EXPECT_TRUE(ReportedSaved());
  }
  // A removed output folder of its own is made again by the next cut.
  QDir(out()).removeRecursively();
  EXPECT_TRUE(CropInto(out()).isEmpty());
  EXPECT_EQ(FilesIn(out()), QStringList({"shot.jpg"}));
  ExpectAllJpegsOfSize(out(), kW, kH);
}

// A disk that fills up during the write: the process may write only a few
// bytes more, so the JPEG breaks off part way.
TEST_F(FileSystemFaults, AWriteThatRunsOutOfSpaceLeavesNoPartialFile) {
  WritePicture(in() + "/shot.png", 320, 240, 1);
  StartOn(kW, kH);
  ASSERT_TRUE(CropInto(out()).isEmpty());
  const Fingerprint before = FingerprintOf(root.path());
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  rlimit tight = old;
  tight.rlim_cur = 512;  // far below a 64 x 48 JPEG with its tables
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
  const QStringList messages = CropInto(out());
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].startsWith(kSaveError)) << qPrintable(messages[0]);
  EXPECT_FALSE(ReportedSaved());
  EXPECT_EQ(FilesIn(out()), QStringList({"shot.jpg"}));  // no partial shot1.jpg or temporary
  ExpectNothingChanged(before, FingerprintOf(root.path()));
  EXPECT_TRUE(CropInto(out()).isEmpty());
  EXPECT_EQ(FilesIn(out()), QStringList({"shot.jpg", "shot1.jpg"}));
  ExpectAllJpegsOfSize(out(), kW, kH);
}

// The same on a real file system that is full, where one may be mounted.
TEST_F(FileSystemFaults, AFullFileSystemLeavesNoPartialFile) {
  const QString mountPoint = root.path() + "/small";
  QDir().mkpath(mountPoint);
  const QByteArray mountPath = QFile::encodeName(mountPoint);
  if (::mount("tmpfs", mountPath.constData(), "tmpfs", 0, "size=16k") != 0)
    GTEST_SKIP() << "no tmpfs can be mounted here (needs CAP_SYS_ADMIN): " << strerror(errno);
  struct Unmount {
    QByteArray path;
    ~Unmount() { ::umount(path.constData()); }
  } unmount{mountPath};
  // Fill it, leaving less room than a cut needs.
  QFile filler(mountPoint + "/filler");
  ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
  while (filler.write(QByteArray(1024, 'x')) == 1024 && filler.flush()) {
  }
  filler.close();
  WritePicture(in() + "/shot.png", 320, 240, 1);
  StartOn(kW, kH);
  const Fingerprint before = FingerprintOf(mountPoint);
  const QStringList messages = CropInto(mountPoint + "/");
  EXPECT_EQ(messages.size(), 1);
  if (!messages.isEmpty()) EXPECT_TRUE(messages[0].startsWith(kSaveError));
  EXPECT_EQ(FingerprintOf(mountPoint), before);
  window.reset();
}

// Only without root's override can a folder's permission bits stop a write.
TEST_F(FileSystemFaults, AReadOnlyOutputFolderIsReported) {
  if (::geteuid() == 0) GTEST_SKIP() << "running as root: permission bits do not stop writes";
  WritePicture(in() + "/shot.png", 320, 240, 1);
  QDir().mkpath(out());
  ASSERT_TRUE(QFile::setPermissions(out(), QFile::ReadOwner | QFile::ExeOwner));
  StartOn(kW, kH);
  const QStringList messages = CropInto(out());
  QFile::setPermissions(out(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].startsWith(kSaveError));
  EXPECT_TRUE(FilesIn(out()).isEmpty());
}

TEST_F(FileSystemFaults, InputFilesThatChangeBehindTheListAndAwkwardNames) {
  const QStringList names = {
      "a.jpg", "b.png", "c.gif", "d.bmp", "it's \"quoted\".png", "my photo.jpg", "ü é ß 写真.jpg"};
  int seed = 0;
  for (const QString& name : names)
    ASSERT_FALSE(WritePicture(in() + "/" + name, 320, 240, ++seed).isEmpty());
  // Link loops: a link to itself, two links to each other, a folder link to its parent.
  ASSERT_TRUE(QFile::link(in() + "/self.jpg", in() + "/self.jpg"));
  ASSERT_TRUE(QFile::link(in() + "/y.png", in() + "/x.png"));
  ASSERT_TRUE(QFile::link(in() + "/x.png", in() + "/y.png"));
  ASSERT_TRUE(QFile::link(in(), in() + "/up"));
  StartOn(kW, kH);
  ASSERT_EQ(list().selectedName(), "a.jpg");

  // Behind the list's back: b.png goes, c.gif becomes a larger picture.
  ASSERT_TRUE(QFile::remove(in() + "/b.png"));
  ASSERT_TRUE(QFile::remove(in() + "/c.gif"));
  ASSERT_FALSE(WritePicture(in() + "/c.gif", 640, 480, 99).isEmpty());
  const Fingerprint before = FingerprintOf(root.path());

  QStringList shown;
  for (int i = 0; i < list().count(); ++i) {
    list().select(i);
    if (view().hasPicture()) shown << list().selectedName();
    CropInTheMiddle();
  }
  for (int i = 0; i < list().count(); ++i)
    if (list().item(i)->text() == "my photo.jpg") list().select(i);
  CropInTheMiddle();  // a second cut of the same picture takes the counter
  EXPECT_TRUE(TakeMessages().isEmpty());
  EXPECT_EQ(shown, QStringList({"a.jpg", "c.gif", "d.bmp", "it's \"quoted\".png", "my photo.jpg",
                                "ü é ß 写真.jpg"}));
  EXPECT_EQ(view().picture().size(), QSize(320, 240));
  EXPECT_EQ(FilesIn(out()), QStringList({"a.jpg", "c.jpg", "d.jpg", "it's \"quoted\".jpg",
                                         "my photo.jpg", "my photo1.jpg", "ü é ß 写真.jpg"}));
  ExpectAllJpegsOfSize(out(), kW, kH);
  ExpectNothingChanged(before, FingerprintOf(root.path()));
}

}  // namespace
}  // namespace trimora::testing
