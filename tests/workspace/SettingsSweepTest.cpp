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

}  // namespace
