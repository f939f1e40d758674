// The settings file as the program reads and writes it: stored texts to typed
// values, and the exact texts the setters store.
#include "Settings.h"
#include "SetupTest.h"

namespace trimora::testing {
namespace {

class SettingsTest : public SetupTest {
 protected:
  // Every getter in a row: "-" for nothing.
  static QString readBack() {
    const Settings s;
    const auto number = [](auto v) { return v ? QString::number(*v) : QString("-"); };
    return QStringList({number(s.maxCropSize()), number(s.resizeLock()), number(s.autoPan()),
                        number(s.frameWidth()), number(s.frameHeight()), number(s.quality()),
                        s.deviceName().value_or("-"), s.inputFolder().value_or("-"),
                        s.outputFolder().value_or("-"), number(s.lastFileIndex()),
                        QString::number(s.zoom()), QString::number(s.showWizard()),
                        number(s.showWizardState()), QString::number(s.arrowKeys())})
        .join('|');
  }
};

TEST_F(SettingsTest, StoredTextsGiveTypedValues) {
  // The [Settings] group as written, then Check2|Check1|AutoPan|PWidth|PHeight|
  // Quality|DeviceName|InputFolder|OutputFolder|LastFilePos|Resize|Wizard
  // (start-up)|Wizard (box)|ArrowKeys.
  const std::pair<QByteArray, QString> cases[] = {
      {"", "-|-|-|-|-|-|-|-|-|-|100|1|1|0"},
      {"Check2=1x\nCheck1=7\nAutoPan=zero\nPWidth=12a\nPHeight=-3.5e1\nQuality=abc\n"
       "DeviceName=Phone, 2\nInputFolder=\nOutputFolder=/out/\nLastFilePos=3\nResize=55.5\n"
       "Wizard=01\nArrowKeys=1\n",
       "1|-|0|12|-35|0|Phone, 2||/out/|3|56|0|1|1"},
      {"Check2=2\nCheck1=-1\nAutoPan=2.5\nDeviceName=\"a, b\"\nLastFilePos=\nResize=abc\n"
       "Wizard=7\nArrowKeys=true\n",
       "2|-|2|-|-|-|a, b|-|-|-|0|0|-|0"},
      {"Wizard=\" 0\"\n", "-|-|-|-|-|-|-|-|-|-|100|0|0|0"}};
  int n = 0;
  for (const auto& [stored, want] : cases) {
    // A file of its own for each case: the store may keep a file it has read
    // as long as its size and time look the same.
    const QString folder = root.filePath(QString::number(++n));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
    ASSERT_TRUE(QDir().mkpath(folder + "/Trimora"));
    ASSERT_TRUE(WriteBytes(folder + "/Trimora/Trimora.ini", "[Settings]\n" + stored));
    EXPECT_EQ(readBack(), want) << stored.constData();
  }
}

TEST_F(SettingsTest, SettersStoreExactTexts) {
  Settings s;
  s.setMaxCropSize(1);
  s.setResizeLock(0);
  s.setAutoPan(2);
  s.setFrameWidth(12.5);
  s.setFrameHeight(-3);
  s.setQuality(90);
  s.setDeviceName("Phone, 2");
  s.setInputFolder("");
  s.setOutputFolder(QString::fromUtf8("/out/ü/"));
  s.setLastFileIndex(std::nullopt);
  EXPECT_FALSE(QFile::exists(iniPath()));  // nothing before sync()
  s.sync();
  EXPECT_TRUE(ReadBytes(iniPath()).contains("PWidth=12.5\n"));
  Settings now;  // these two are stored at once
  now.setArrowKeys(true);
  EXPECT_TRUE(ReadBytes(iniPath()).contains("ArrowKeys=1\n"));
  now.setShowWizard(0);
  EXPECT_EQ(ReadBytes(iniPath()),
            "[Settings]\nArrowKeys=1\nAutoPan=2\nCheck1=0\nCheck2=1\nDeviceName=\"Phone, 2\"\n"
            "InputFolder=\nLastFilePos=\nOutputFolder=/out/\xC3\xBC/\nPHeight=-3\nPWidth=12.5\n"
            "Quality=90\nWizard=0\n");
  s.setLastFileIndex(0);
  s.sync();
  EXPECT_EQ(Settings().text("LastFilePos"), "0");
}

}  // namespace
}  // namespace trimora::testing
