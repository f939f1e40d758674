#include <QDirIterator>
#include <QImageReader>
#include <QRect>

#include "DevicePicker.h"
#include "Settings.h"
#include "TextRules.h"
#include "WorkspaceFixture.h"

// Faults that only the running window shows: damaged and hostile pictures, failed writes, input
// files changed behind the list, bad settings and catalogues. Each is shown or told, nothing lost.
namespace trimora::testing {
namespace {

// Path -> a link's target or what a file holds; links are never followed.
QMap<QString, QByteArray> fingerprintOf(const QString& folder) {
  QMap<QString, QByteArray> print;
  QDirIterator it(folder, QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QFileInfo info(it.next());
    print[info.filePath()] = info.symLinkTarget().toUtf8() + ReadBytes(info.filePath());
  }
  return print;
}

class Battery : public WorkspaceFixture {
 protected:
  // Crops with Space, the pointer on the middle of the picture; the messages shown. A cut written
  // (where the window shows, maybe relative) has the frame's size; a picture not cut is told why.
  QStringList cropInTheMiddle() {
    const QDir folder(QDir(window->outputFolder()).absolutePath());
    const QStringList before = folder.entryList(QDir::Files | QDir::Hidden);
    fakes.messages.shown.clear();
    pointAt(view().picture().width() / 2, view().picture().height() / 2);
    key(Qt::Key_Space);
    QStringList added = folder.entryList(QDir::Files | QDir::Hidden);
    for (const QString& name : before) added.removeOne(name);
    const QSize frame(nearestInt(numericValue(window->frameWidthText())),
                      nearestInt(numericValue(window->frameHeightText())));
    EXPECT_LE(added.size(), 1);
    EXPECT_TRUE(added.isEmpty() || QImageReader(folder.filePath(added[0]), "jpeg").size() == frame);
    EXPECT_TRUE(!added.isEmpty() || !view().hasPicture() || fakes.messages.texts().size() == 1);
    return fakes.messages.texts();
  }
  void startCropAndClose(bool chooseFolders = false) {
    start().show();
    if (chooseFolders)
      window->setOutputFolder(out()), window->setInputFolder(in()), window->reloadFolder();
    cropInTheMiddle();
    close();
    window.reset();
  }
};

TEST_F(Battery, DamagedAndHostileFilesAreShownOrSaidWhyAndAGoodOneIsCropped) {
  for (const char* name : {"j.jpg", "p.png", "g.gif", "b.bmp"}) {
    const QByteArray bytes = ReadBytes(WritePicture(in() + "/" + name, 160, 120, 3));
    for (int k = 1; k < 10; ++k) {  // cut short, then with bits flipped, headers first
      QByteArray damaged = bytes.left(k < 4 ? bytes.size() * k / 4 : bytes.size());
      if (k >= 4) damaged[(k * 7919) % (k % 2 ? 64 : bytes.size())] ^= char(1 << k % 8);
      ASSERT_TRUE(WriteBytes(in() + QString("/%1-").arg(k) + name, damaged));
    }
  }
  // 35 bytes of GIF declaring 16384 x 16384.
  const QByteArray size("\0\x40\0\x40", 4), frame("\x80\0\0\0\0\0\xFF\xFF\xFF,\0\0\0\0", 14);
  ASSERT_TRUE(WriteBytes(in() + "/vast.gif",
                         "GIF89a" + size + frame + size + QByteArray("\0\x02\x02\x44\x01\0;", 7)));
  const auto before = fingerprintOf(in());
  startWith(40, 40);
  ASSERT_EQ(list().count(), 41);
  for (int i = 0; i < list().count(); ++i) {
    if (i > 0) key(Qt::Key_Right);
    const QString status = statuses.value(statuses.size() - 1), name = list().selectedName();
    SCOPED_TRACE(name.toStdString());
    EXPECT_TRUE(view().hasPicture() ? !status.contains("Too small to crop")
                                    : status == "Cannot read picture" ||
                                          status.startsWith("Picture too large to open"));
    EXPECT_TRUE(name != "vast.gif" || status == "Picture too large to open (268 MP)");
    const QStringList messages = cropInTheMiddle();  // no picture: no frame and nothing to say
    EXPECT_TRUE(view().hasPicture() || (!view().isFrameShown() && messages.isEmpty()));
    for (const QString& text : messages) EXPECT_TRUE(text.startsWith("The loaded pic"));
  }
  for (const char* cut : {"j.jpg", "p.jpg", "g.jpg", "b.jpg"}) EXPECT_TRUE(outputs().contains(cut));
  EXPECT_EQ(fingerprintOf(in()), before);
}

// An output folder under a regular file (the writer's own tests fill the disk and refuse the
// rest): the window says so, writes nothing, and the next cut works.
TEST_F(Battery, AFailedWriteIsReportedAndLeavesNoFileAndTheNextCutWorks) {
  WritePicture(in() + "/shot.png", 320, 240, 1);
  ASSERT_TRUE(WriteBytes(root.path() + "/blocker", "a file") && QDir().mkpath(out()));
  startWith(64, 48);
  const auto before = fingerprintOf(root.path());
  window->setOutputFolder(root.path() + "/blocker/out/");
  statuses.clear();
  const QStringList messages = cropInTheMiddle();
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].startsWith("Error saving picture!")) << messages[0].toStdString();
  EXPECT_TRUE(statuses.isEmpty() || !statuses.last().startsWith("Cropped to"));
  EXPECT_EQ(fingerprintOf(root.path()), before);
  window->setOutputFolder(out());
  QDir(out()).removeRecursively();  // an output folder that went is made again
  EXPECT_TRUE(cropInTheMiddle().isEmpty() && cropInTheMiddle().isEmpty());
  EXPECT_EQ(outputs(), QStringList({"shot.jpg", "shot1.jpg"}));
}

// A frame larger than the view is cut from the file: a file changed since it was shown is shown
// afresh rather than cut from a mix of the two, and one removed is told; neither writes a file.
TEST_F(Battery, APictureChangedOrGoneSinceItWasShownIsNeverCutFromAMix) {
  WritePicture(in() + "/shot.jpg", 4000, 3000, 1);
  startWith(1000, 700);
  ASSERT_LT(view().scale(), 1.0);
  EXPECT_TRUE(cropInTheMiddle().isEmpty());
  WritePicture(in() + "/shot.jpg", 3000, 4000, 2);
  QStringList messages = cropInTheMiddle();
  EXPECT_TRUE(messages.value(0).startsWith("Error saving picture!") &&
              messages[0].contains("changed"));
  EXPECT_EQ(view().canvasSize(), QSize(1500, 2000));  // shown again as it is now, capped
  EXPECT_TRUE(cropInTheMiddle().isEmpty());
  ASSERT_TRUE(QFile::remove(in() + "/shot.jpg"));
  messages = cropInTheMiddle();
  EXPECT_TRUE(messages.value(0).startsWith("Error saving picture!") &&
              messages[0].contains("Cannot read picture"));
  EXPECT_EQ(outputs(), QStringList({"shot.jpg", "shot1.jpg"}));
}

TEST_F(Battery, InputFilesThatChangeBehindTheListAwkwardNamesAndLinkLoops) {
  for (QString name : {"a.jpg", "b.png", "c.gif", "d.bmp", "it's \"quoted\".png", "ü 写真.jpg"})
    ASSERT_FALSE(WritePicture(in() + "/" + name, 320, 240).isEmpty());
  // A link to itself, two links to each other, a folder link to its parent.
  ASSERT_TRUE(QFile::link(in() + "/self.jpg", in() + "/self.jpg") &&
              QFile::link(in() + "/y.png", in() + "/x.png") &&
              QFile::link(in() + "/x.png", in() + "/y.png") && QFile::link(in(), in() + "/up"));
  startWith(64, 48);
  // Behind the list's back: b.png goes, c.gif becomes a larger picture.
  ASSERT_TRUE(QFile::remove(in() + "/b.png") && QFile::remove(in() + "/c.gif"));
  ASSERT_FALSE(WritePicture(in() + "/c.gif", 640, 480, 9).isEmpty());
  const auto before = fingerprintOf(in());
  QStringList shown;
  for (int i = 0; i < list().count(); ++i) {
    list().select(i);
    if (view().hasPicture()) shown << list().selectedName();
    EXPECT_TRUE(cropInTheMiddle().isEmpty()) << list().selectedName().toStdString();
  }
  EXPECT_TRUE(cropInTheMiddle().isEmpty());  // a second cut of the same picture takes the counter
  EXPECT_EQ(shown, QStringList({"a.jpg", "c.gif", "d.bmp", "it's \"quoted\".png", "ü 写真.jpg"}));
  EXPECT_EQ(outputs(), QStringList({"a.jpg", "c.jpg", "d.jpg", "it's \"quoted\".jpg", "ü 写真.jpg",
                                    "ü 写真1.jpg"}));
  EXPECT_EQ(fingerprintOf(in()), before);
}

TEST_F(Battery, WrongValuesForEveryKeyAFileGrownPastAMegabyteACorruptAndAnUnwritableOne) {
  WritePicture(in() + "/shot.png", 640, 480, 2);
  const QByteArray good = "[Settings]\nWizard=0\nInputFolder=" + in().toUtf8() +
                          "\nOutputFolder=" + out().toUtf8() + "\nPWidth=64\nPHeight=48\n";
  // clang-format off
  const QVariant values[] = {"abc", "-7", "99999999999999999999", "1e308", QRect(1, 2, 3, 4),
                             QStringList({"1", "2"}), QByteArray("\xff\x00\x80", 3)};
  // clang-format on
  using namespace settingsKey;
  for (const QString& key :
       {kShowWizard, kArrowKeys, kZoom, kMaxCropSize, kAutoPan, kLastFileIndex, kDeviceName,
        kQuality, kResizeLock, kFrameWidth, kFrameHeight, kOutputFolder, kInputFolder}) {
    for (const QVariant& value : values) {
      SCOPED_TRACE((key + "=" + value.toString()).toStdString());
      ASSERT_TRUE(QDir().mkpath(QFileInfo(iniPath()).path()) && WriteBytes(iniPath(), good));
      QSettings(QSettings::IniFormat, QSettings::UserScope, "Trimora", "Trimora")
          .setValue("Settings/" + key, value);
      startCropAndClose();
    }
  }
  // Past the first megabyte nothing is read, and the file written at close keeps what was.
  ASSERT_TRUE(
      WriteBytes(iniPath(), good + QByteArray(1000, ';').repeated(8000) + "\nQuality=33\n"));
  EXPECT_TRUE(start().frameWidthText() == "64" && window->qualityText() != "33");
  close();
  EXPECT_TRUE(QFileInfo(iniPath()).size() < 4096 && stored("PWidth") == "64");
  // A store that cannot be read is a first start: the wizard runs.
  ASSERT_TRUE(WriteBytes(iniPath(), QByteArray("\0\xff[Settings\n=PWidth=\x01\n[[\xfe\xfe", 26)));
  wizardRuns = 0;
  startCropAndClose(true);
  EXPECT_TRUE(wizardRuns == 1 && stored("InputFolder") == in());
  // The settings folder is a regular file: nothing can be stored, nothing is lost.
  ASSERT_TRUE(QDir(QFileInfo(iniPath()).path()).removeRecursively() &&
              WriteBytes(QFileInfo(iniPath()).path(), "in the way\n"));
  const auto before = fingerprintOf(root.path() + "/config");
  startCropAndClose(true);
  EXPECT_EQ(fingerprintOf(root.path() + "/config"), before);
}

TEST_F(Battery, CatalogueLinesWithBadNumbersAHugeLineAndOnlyBlankLines) {
  // clang-format off
  const QByteArrayList lines = {"Huge:99999999999999999999x99999999999999999999", "No height:320x",
      "Past int:2147483648x4294967296", "Negative:-320x-240", "Colon only:", "Letters:abcxdef",
      "No size", "Fine:64x48", QByteArray(512 * 1024, 'L') + ":80x60"};
  // clang-format on
  WritePicture(in() + "/shot.png", 640, 480, 2);
  ASSERT_TRUE(WriteBytes("devices.dat", lines.join("\r\n")));
  startWith(100, 100);
  int pick = 0;  // as the "..." beside the device opens the picker, read afresh
  window->setDevicePickerRunner([&](MainWindow&) {
    DevicePicker picker(services);
    ASSERT_TRUE(picker.load() && picker.shownDevices().size() == lines.size());
    picker.choose(pick);
  });
  for (pick = 0; pick < lines.size(); ++pick) {
    window->chooseDevice();
    cropInTheMiddle();
  }
  EXPECT_EQ(window->frameWidthText(), "80");  // the 512 kB line's size was taken
  ASSERT_TRUE(WriteBytes("devices.dat", "\n\r\n  \n\t\n\n"));
  DevicePicker picker(services);  // blank lines only: an empty list, not a missing file
  EXPECT_TRUE(picker.load() && picker.shownDevices().isEmpty() && fakes.messages.texts().isEmpty());
}

}  // namespace
}  // namespace trimora::testing
