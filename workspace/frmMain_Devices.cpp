// The device picker and the set-up wizard as seen from the workspace.
#include "SelectedDevice.h"
#include "frmMain.h"

namespace trimora {

void frmMain::InstallSetupWindows() {
  // The picker and the wizard windows are set here once they exist.
}

void frmMain::lbl_Click() {
  if (devicePickerRunner) devicePickerRunner(*this);
  if (SelectedDeviceSize.isEmpty()) return;
  DeviceName->setText(SelectedDeviceName);
  const QStringList parts = SelectedDeviceSize.split(QLatin1Char('x'));
  PWidth->setText(parts.value(0));
  if (parts.size() < 2) return;  // a size without "x" leaves the height and the frame
  PHeight->setText(parts.value(1));
  UpdateFrameVisibility();
}

}  // namespace trimora
