// The device picker and the set-up wizard as seen from the workspace.
#include "DeviceCatalogue.h"
#include "SelectedDevice.h"
#include "frmDevices.h"
#include "frmMain.h"
#include "frmWizard.h"

namespace trimora {

void frmMain::InstallSetupWindows() {
  wizardRunner = [](frmMain& main) {
    WizardTarget target;
    target.DeviceName = main.DeviceName;
    target.PWidth = main.PWidth;
    target.PHeight = main.PHeight;
    target.OutputFolder = main.OutputFolder;
    target.InputFolder = main.InputFolder;
    target.Quality = main.Quality;
    target.ReloadFolder = [&main] { main.ReloadFolder(); };
    RunWizard(main.services(), target);
  };
  devicePickerRunner = [](frmMain& main) { ShowDevicePicker(main.services(), nullptr); };
}

void frmMain::lbl_Click() {
  if (devicePickerRunner) devicePickerRunner(*this);
  if (SelectedDeviceSize.isEmpty()) return;
  DeviceName->setText(SelectedDeviceName);
  const QStringList parts = SizeParts(SelectedDeviceSize);
  PWidth->setText(parts.value(0));
  if (parts.size() < 2) return;  // a size without "x" leaves the height and the frame
  PHeight->setText(parts.value(1));
  UpdateFrameVisibility();
}

}  // namespace trimora
