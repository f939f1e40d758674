#pragma once

#include <QString>

namespace trimora {

// The device chosen last in the picker (or put there by the wizard's opener):
// its name and its size text "WIDTHxHEIGHT". Program-wide, empty at start.
inline QString SelectedDeviceName;
inline QString SelectedDeviceSize;

}  // namespace trimora
