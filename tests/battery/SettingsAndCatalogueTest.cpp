#include <QFile>
#include <QFileInfo>
#include <QRect>
#include <QSettings>
#include <QVariant>

#include "Battery.h"
#include "DeviceCatalogue.h"
#include "DeviceChoice.h"
#include "DevicePicker.h"
#include "TextRules.h"

// Bad settings and a bad device catalogue: the window starts, crops with
// whatever size it ends up with or says why it cannot, and closes, and no
// input picture changes.
namespace trimora::testing {
namespace {

class BadStores : public Battery {
 protected:
  void SetUp() override {
    Battery::SetUp();
    previousFolder = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(root.path()));  // the catalogue is looked for here first
    lastDeviceChoice() = {};
  }
  void TearDown() override {
    Battery::TearDown();
    QDir::setCurrent(previousFolder);
    lastDeviceChoice() = {};
  }
  // Crops in the middle; a cut that is written (into the output folder the
  // window shows, which may be relative to the current folder) must have the
  // size the window shows, anything else must be told with a message.
  void CropAndCheck(const QString& what) {
    const QString folder = QDir(window->outputFolder()).absolutePath() + "/";
    const QStringList outputsBefore = FilesIn(folder);
    TakeMessages();
    CropInTheMiddle();
    const QStringList messages = TakeMessages();
    QStringList added = FilesIn(folder);
    for (const QString& name : outputsBefore) added.removeOne(name);
    EXPECT_LE(added.size(), 1) << qPrintable(what);
    if (added.isEmpty()) {
      if (!view().hasPicture()) return;  // nothing shown, nothing to crop
      ASSERT_EQ(messages.size(), 1) << qPrintable(what) << ": no cut and no word why";
      EXPECT_FALSE(messages[0].isEmpty()) << qPrintable(what);
    } else {
      EXPECT_TRUE(messages.isEmpty()) << qPrintable(what + ": " + messages.join("|"));
      const QSize size(nearestInt(numericValue(window->frameWidthText())),
                       nearestInt(numericValue(window->frameHeightText())));
      EXPECT_EQ(QImageReader(folder + added[0]).size(), size) << qPrintable(what);
    }
  }
  QString previousFolder;
};

TEST_F(BadStores, WrongTypedValuesForEveryKey) {
  WritePicture(in() + "/shot.png", 640, 480, 2);
  const Fingerprint before = FingerprintOf(in());
  const QString keys[] = {"Wizard",      "ArrowKeys",    "Resize",     "Check2", "AutoPan",
                          "LastFilePos", "DeviceName",   "Quality",    "Check1", "PWidth",
                          "PHeight",     "OutputFolder", "InputFolder"};
  const QVariant values[] = {
      QString("abc"),    QString("-7"),           QString("99999999999999999999"), QString("1e308"),
      QRect(1, 2, 3, 4), QStringList({"1", "2"}), QByteArray("\xff\x00\x80", 3)};
  for (const QString& key : keys) {
    for (const QVariant& value : values) {
      const QString what = key + "=" + value.typeName() + ":" + value.toString();
      QFile::remove(
          QSettings(QSettings::IniFormat, QSettings::UserScope, "Trimora", "Trimora").fileName());
      store("Wizard", "0");
      store("InputFolder", in());
      store("OutputFolder", out());
      store("PWidth", "64");
      store("PHeight", "48");
      store("Quality", "90");
      {
        QSettings store(QSettings::IniFormat, QSettings::UserScope, "Trimora", "Trimora");
        store.beginGroup("Settings");
        store.setValue(key, value);
      }
      start();
      window->show();
      CropAndCheck(what);
      close();
      window.reset();
    }
  }
  ExpectNothingChanged(before, FingerprintOf(in()));
}

TEST_F(BadStores, ACorruptThenAnUnwritableSettingsFile) {
  WritePicture(in() + "/shot.png", 640, 480, 2);
  const QString ini =
      QSettings(QSettings::IniFormat, QSettings::UserScope, "Trimora", "Trimora").fileName();
  QDir().mkpath(QFileInfo(ini).absolutePath());
  ASSERT_TRUE(WriteBytes(
      ini, QByteArray("\x00\xff[Settings\n=PWidth=\x01\n[[", 24) + QByteArray(100000, '\xfe')));
  start();
  EXPECT_EQ(wizardRuns, 1);  // a store that cannot be read is a first start
  window->show();
  // What the wizard would fill in.
  window->setOutputFolder(out());
  window->setInputFolder(in());
  window->reloadFolder();
  CropAndCheck("corrupt store");
  EXPECT_EQ(FilesIn(out()), QStringList({"shot.jpg"}));
  close();
  window.reset();
  EXPECT_EQ(stored("InputFolder"), in());

  // The settings folder is a regular file: nothing can be stored.
  const QString folder = QFileInfo(ini).absolutePath();
  ASSERT_TRUE(QDir(folder).removeRecursively());
  ASSERT_TRUE(WriteBytes(folder, "in the way\n"));
  const Fingerprint rootBefore = FingerprintOf(root.path());
  start();
  window->show();
  window->setOutputFolder(out());
  window->setInputFolder(in());
  window->reloadFolder();
  CropAndCheck("unwritable store");
  close();
  window.reset();
  ExpectNothingChanged(rootBefore, FingerprintOf(root.path()));
  EXPECT_EQ(FilesIn(out()), QStringList({"shot.jpg", "shot1.jpg"}));
}

// A settings file grown past a megabyte is read up to there: what comes
// later is ignored, and the store written at close keeps what was read.
TEST_F(BadStores, ASettingsFileGrownPastAMegabyteIsReadUpToIt) {
  WritePicture(in() + "/shot.png", 640, 480, 2);
  const QString ini =
      QSettings(QSettings::IniFormat, QSettings::UserScope, "Trimora", "Trimora").fileName();
  QDir().mkpath(QFileInfo(ini).absolutePath());
  QByteArray content = "[Settings]\nWizard=0\nInputFolder=" + in().toUtf8() +
                       "\nOutputFolder=" + out().toUtf8() + "\nPWidth=64\nPHeight=48\n";
  while (content.size() < (8 << 20)) content += "; " + QByteArray(1000, 'x') + "\n";
  ASSERT_TRUE(WriteBytes(ini, content + "Quality=33\n"));
  start();
  window->show();
  EXPECT_EQ(wizardRuns, 0);
  EXPECT_EQ(window->frameWidthText(), "64");
  EXPECT_NE(window->qualityText(), "33");  // beyond the first megabyte
  CropAndCheck("oversized store");
  EXPECT_EQ(FilesIn(out()), QStringList({"shot.jpg"}));
  close();
  window.reset();
  EXPECT_LT(QFileInfo(ini).size(), 4096);
  EXPECT_EQ(stored("PWidth"), "64");
  EXPECT_EQ(stored("InputFolder"), in());
}

TEST_F(BadStores, CatalogueLinesWithBadNumbersAHugeLineAndOnlyBlankLines) {
  WritePicture(in() + "/shot.png", 640, 480, 2);
  const QByteArray lines[] = {"Huge:99999999999999999999x99999999999999999999",
                              "Past int:2147483648x4294967296",
                              "Negative:-320x-240",
                              "No height:320x",
                              "No numbers:x",
                              "Letters:abcxdef",
                              "Colon only:",
                              "No size at all",
                              "Fine:64x48",
                              QByteArray(512 * 1024, 'L') + ":80x60"};
  const int count = int(std::size(lines));
  QByteArray catalogue;
  for (const QByteArray& line : lines) catalogue += line + "\r\n";
  ASSERT_TRUE(WriteBytes(root.path() + "/devices.dat", catalogue));
  const Fingerprint before = FingerprintOf(root.path());
  StartOn(100, 100);
  // The picker as the "..." beside the device opens it: read afresh, one line chosen.
  int pick = 0;
  window->setDevicePickerRunner([&pick, count, this](MainWindow&) {
    DevicePicker picker(services);
    ASSERT_TRUE(picker.load());
    ASSERT_EQ(picker.shownDevices().size(), count);
    picker.choose(pick);
  });
  for (pick = 0; pick < count; ++pick) {
    window->chooseDevice();
    CropAndCheck(QString::fromLatin1(lines[pick].left(40)));
  }
  EXPECT_EQ(window->frameWidthText(), "80");  // the 512 kB line's size was taken
  EXPECT_TRUE(TakeMessages().isEmpty());
  EXPECT_TRUE(FilesIn(out()).contains("shot.jpg"));
  ExpectNothingChanged(before, FingerprintOf(root.path()));

  // A catalogue of blank lines only is an empty list, not a missing file.
  ASSERT_TRUE(WriteBytes(root.path() + "/devices.dat", "\n\r\n  \n\t\n\n"));
  DevicePicker picker(services);
  EXPECT_TRUE(picker.load());
  EXPECT_TRUE(picker.shownDevices().isEmpty());
  EXPECT_TRUE(TakeMessages().isEmpty());
}

}  // namespace
}  // namespace trimora::testing
