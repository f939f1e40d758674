#include <QDir>
#include <QFile>
#include <QSettings>

#include "WorkspaceFixture.h"
#include "basSettings.h"

using namespace trimora;
using namespace trimora::testing;

namespace {

class SettingsStore : public WorkspaceFixture {
 protected:
  QString iniPath() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, kAppName, kAppName).fileName();
  }
};

TEST_F(SettingsStore, KeysNeverWrittenGiveTheDefaultAndWrittenOnesComeBack) {
  EXPECT_EQ(GetSetting(kAppName, kSettingsSection, "Nope", "fallback"), "fallback");
  SaveSetting(kAppName, kSettingsSection, "Path", "/home/me/Pictures, 2024/ü");
  SaveSetting(kAppName, kSettingsSection, "Empty", "");
  EXPECT_EQ(GetSetting(kAppName, kSettingsSection, "Path", ""), "/home/me/Pictures, 2024/ü");
  EXPECT_EQ(GetSetting(kAppName, kSettingsSection, "Empty", "x"), "");
  EXPECT_TRUE(iniPath().endsWith("/config/Trimora/Trimora.ini")) << iniPath().toStdString();
  QFile ini(iniPath());
  ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
  EXPECT_TRUE(ini.readAll().contains("[Settings]"));
}

TEST_F(SettingsStore, SweepRestoresInTheWindowsOrderWithChangeReactions) {
  Store("Wizard", "0");
  Store("Check2", "1");
  Store("Check1", "1");  // restored after Check2's reaction has cleared it
  Store("PWidth", "12a");
  Store("Quality", "abc");
  Start();
  EXPECT_EQ(form->Check2->Value(), 1);
  EXPECT_EQ(form->Check1->Value(), 1);
  EXPECT_EQ(form->StatusText->Caption(), "Max Zoom Out Enabled");
  EXPECT_EQ(form->PWidth->Text(), "12");  // normalised by its change reaction
  EXPECT_EQ(form->Quality->Text(), "1");
}

TEST_F(SettingsStore, CheckBoxesTakeTheLeadingNumber) {
  Store("Wizard", "0");
  Store("Check1", "1x");
  Store("AutoPan", "7");  // outside 0..2: the box stays as built (checked)
  Store("Check2", "zero");
  Start();
  EXPECT_EQ(form->Check1->Value(), 1);
  EXPECT_EQ(form->AutoPan->Value(), 1);
  EXPECT_EQ(form->Check2->Value(), 0);
}

TEST_F(SettingsStore, SweptKeysAreTheWindowsCheckBoxesAndTextBoxesInOrder) {
  Store("Wizard", "0");
  Start();
  QStringList keys;
  for (QWidget* w : form->findChildren<QWidget*>()) {
    if (w->objectName().isEmpty()) continue;
    if (qobject_cast<CheckBox*>(w) || qobject_cast<TextBox*>(w)) keys << w->objectName();
  }
  EXPECT_EQ(keys, QStringList({"Check2", "AutoPan", "LastFilePos", "DeviceName", "Quality",
                               "Check1", "PWidth", "PHeight", "OutputFolder", "InputFolder"}));
}

TEST_F(SettingsStore, CorruptFileFallsBackToTheDefaults) {
  QDir().mkpath(QFileInfo(iniPath()).absolutePath());
  QFile ini(iniPath());
  ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
  ini.write(QByteArray("\x00\xff[Set\ntings\n=\x01\x02PWidth\n[[[", 26));
  ini.write(QByteArray(4096, '\xfe'));
  ini.close();
  Start();
  EXPECT_EQ(wizardRuns, 1);  // an unreadable store is a first start
  EXPECT_EQ(form->PWidth->Text(), "160");
  EXPECT_EQ(form->Quality->Text(), "90");
  Close();  // writing over the corrupt file works
  EXPECT_EQ(Stored("PWidth"), "160");
}

TEST_F(SettingsStore, AnUnwritableStoreLosesOnlyThisRunsValues) {
  Store("Wizard", "0");
  Store("PWidth", "320");
  Start();
  form->PWidth->setText("640");
  // Replace the file by a folder of the same name: no write can succeed.
  const QString path = iniPath();
  ASSERT_TRUE(QFile::rename(path, path + ".saved"));
  ASSERT_TRUE(QDir().mkdir(path));
  Close();  // must not crash or hang
  ASSERT_TRUE(QDir().rmdir(path));
  ASSERT_TRUE(QFile::rename(path + ".saved", path));
  // What the next run reads: the file as it was before this run.
  QFile ini(path);
  ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
  const QByteArray text = ini.readAll();
  EXPECT_TRUE(text.contains("PWidth=320")) << text.constData();
  EXPECT_FALSE(text.contains("640"));
}

}  // namespace
