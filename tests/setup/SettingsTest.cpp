// The settings file: stored texts to typed values, and the exact texts the setters store.
#include "FolderFixture.h"
#include "Settings.h"

namespace trimora::testing {
namespace {

class SettingsTest : public FolderFixture {
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

TEST_F(SettingsTest, StoredTextsGiveTypedValuesAndTheProgramsOwnFileIsWrittenBackAsItWas) {
  // The [Settings] group as written (the two crop options under the keys the class names), then
  // the getters in order: max crop size|resize lock|AutoPan|PWidth|PHeight|Quality|DeviceName|
  // InputFolder|OutputFolder|LastFilePos|Resize|Wizard (start-up)|Wizard (box)|ArrowKeys. The
  // last is a file the program wrote.
  const auto keyed = [](QByteArray text) {
    return text.replace("MaxCropSize=", settingsKey::kMaxCropSize.toUtf8() + '=')
        .replace("ResizeLock=", settingsKey::kResizeLock.toUtf8() + '=');
  };
  const std::pair<QByteArray, QString> cases[] = {
      {"", "-|-|-|-|-|-|-|-|-|-|100|1|1|0"},
      {"MaxCropSize=1x\nResizeLock=7\nAutoPan=zero\nPWidth=12a\nPHeight=-3.5e1\nQuality=abc\n"
       "DeviceName=Phone, 2\nInputFolder=\nOutputFolder=/out/\nLastFilePos=3\nResize=55.5\n"
       "Wizard=01\nArrowKeys=1\n",
       "1|-|0|12|-35|0|Phone, 2||/out/|3|56|0|1|1"},
      {"MaxCropSize=2\nResizeLock=-1\nAutoPan=2.5\nDeviceName=\"a, b\"\nLastFilePos=\nResize=abc\n"
       "Wizard=7\nArrowKeys=true\n",
       "2|-|2|-|-|-|a, b|-|-|-|0|0|-|0"},
      {"Wizard=\" 0\"\n", "-|-|-|-|-|-|-|-|-|-|100|0|0|0"},
      {"ArrowKeys=1\nAutoPan=2\nResizeLock=0\nMaxCropSize=1\nDeviceName=\"Phone, "
       "2\"\nInputFolder=\n"
       "LastFilePos=0\nOutputFolder=/out/\xC3\xBC/"
       "\nPHeight=-3\nPWidth=12.5\nQuality=90\nWizard=0\n",
       QString::fromUtf8("1|0|2|12.5|-3|90|Phone, 2||/out/ü/|0|100|0|0|1")}};
  QString ini;
  int n = 0;
  for (const auto& [stored, want] : cases) {
    // A file of its own each: the store keeps a file whose size and time look the same.
    const QString folder = root.filePath(QString::number(++n));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
    ini = folder + "/Trimora/Trimora.ini";
    ASSERT_TRUE(QDir().mkpath(folder + "/Trimora") &&
                WriteBytes(ini, "[Settings]\n" + keyed(stored)));
    EXPECT_EQ(readBack(), want) << stored.constData();
  }
  // What was read last, set again into a file written from nothing (the window's own round trip
  // runs through every setter): written at sync(), the arrow keys and the wizard box at once.
  Settings s;
  const bool arrowKeys = s.arrowKeys();
  ASSERT_TRUE(QFile::remove(ini));
  s.setFrameWidth(*s.frameWidth());
  s.setOutputFolder(*s.outputFolder());
  EXPECT_FALSE(QFile::exists(ini));
  s.setArrowKeys(arrowKeys);
  EXPECT_EQ(ReadBytes(ini), "[Settings]\nArrowKeys=1\nOutputFolder=/out/\xC3\xBC/\nPWidth=12.5\n");
}

}  // namespace
}  // namespace trimora::testing
