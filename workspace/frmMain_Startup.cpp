// Start-up, the picture list and shut-down of the workspace window.
#include <QCloseEvent>

#include "GDIPlus.h"
#include "TextRules.h"
#include "basRegistry.h"
#include "basSettings.h"
#include "frmMain.h"

namespace trimora {

void frmMain::Load() {
  if (loaded_) return;
  loaded_ = true;

  // Window frames are thin on this desktop unless a version text says
  // otherwise; there is no registry to ask, so the default "5.1" comes back.
  const QString version =
      ReadRegistryValue(RegistryRoot::LocalMachine,
                        QStringLiteral("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion"),
                        QStringLiteral("CurrentVersion"), QStringLiteral("5.1"))
          .toString();
  ThickFrame = version.startsWith(QLatin1Char('6'));

  InitGDIPlus();
  LoadSettings(this);
  LastZoom = static_cast<std::int16_t>(HScroll2->Value());

  if (!InputFolder->Text().isEmpty()) {
    File1->setPath(InputFolder->Text());  // a folder that cannot be opened keeps the list
    InputFolder->setText(File1->Path());
  }

  Shape3->setWidth(nearestInt(std::clamp(Val(PWidth->Text()), 0.0, 1e6) * kTwipsPerPixel));
  Shape3->setHeight(nearestInt(std::clamp(Val(PHeight->Text()), 0.0, 1e6) * kTwipsPerPixel));

  if (File1->ListCount() > 0) {
    const double n = Val(LastFilePos->Text());
    // An index past the end is refused: nothing is selected or shown.
    File1->setListIndex(n >= 0 ? nearestInt(n) : 0);
  }
  CurrentFile = SelectedPath();

  HScroll2->setEnabled(true);
  HScroll2->setValue(
      nearestInt(Val(GetSetting(kAppName, kSettingsSection, QStringLiteral("Resize"), "100"))));
  DoAdjustments();

  if (GetSetting(kAppName, kSettingsSection, QStringLiteral("Wizard"), QStringLiteral("1")) ==
      QLatin1String("1")) {
    OpenWizard();  // shows this window when the wizard has closed
  } else {
    ArrowKeysEnabled = GetSetting(kAppName, kSettingsSection, QStringLiteral("ArrowKeys"),
                                  QStringLiteral("0")) == QLatin1String("1");
    show();
  }

  if (ArrowKeysEnabled) {
    Label2->setCaption(QStringLiteral("Arrow Keys Enabled"));
    Status(QStringLiteral("Arrow Keys Enabled"), true);
  }
}

void frmMain::OpenWizard() {
  if (wizardRunner) wizardRunner(*this);
  ArrowKeysEnabled = GetSetting(kAppName, kSettingsSection, QStringLiteral("ArrowKeys"),
                                QStringLiteral("0")) == QLatin1String("1");
  if (!closing_) show();
}

void frmMain::File1_Click() {
  if (Check1->Value() == 0) HScroll2->setValue(HScroll2->Max());
  // The position is the one being shown, even if the window closes meanwhile.
  if (File1->ListIndex() >= 0) LastFilePos->setText(DecimalText(File1->ListIndex()));
  // Selecting the entry already shown does not load it again. Entries are
  // compared by their whole path: two folders may both hold an IMG_0001.JPG.
  const QString path = SelectedPath();
  if (path != CurrentFile) ShowPicture(File1->FileName(), false);
  CurrentFile = path;
}

void frmMain::ReloadFolder() {
  LastFilePos->setText(QString());
  CurrentFile.clear();  // whatever the folder holds now is shown afresh
  if (!File1->setPath(InputFolder->Text())) return;
  if (!File1->Refresh()) return;
  if (File1->ListCount() >= 1) File1->setListIndex(0);
}

QString frmMain::SelectedPath() const {
  const QString name = File1->FileName();
  if (name.isEmpty()) return {};
  return File1->Path() + QLatin1Char('/') + name;
}

void frmMain::closeEvent(QCloseEvent* event) {
  if (!closing_) {
    closing_ = true;
    pendingKeys_.clear();
    Timer2->setEnabled(false);
    Timer3->setEnabled(false);
    FreeGDIPlus();
    SaveSettings(this);
  }
  event->accept();
}

}  // namespace trimora
