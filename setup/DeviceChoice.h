#pragma once

#include <QString>

namespace trimora {

// A device as the picker hands it on: its catalogue name and its size text
// "WIDTHxHEIGHT" as the catalogue writes it.
struct DeviceChoice {
  QString name;
  QString size;
};

// The device chosen last, program-wide and empty at start. The picker sets it
// on a choice and leaves it on a close without one; the set-up wizard also
// sets it from the workspace's device when it opens.
inline DeviceChoice& lastDeviceChoice() {
  static DeviceChoice choice;
  return choice;
}

}  // namespace trimora
