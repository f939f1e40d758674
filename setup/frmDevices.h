#pragma once

#include <QDialog>
#include <vector>

#include "DeviceCatalogue.h"
#include "Label.h"
#include "ListBox.h"
#include "Services.h"
#include "TextBox.h"

namespace trimora {

// The device picker: the whole catalogue in file order, a search box that
// narrows it, and a choice by double-click or Enter. The choice is left in
// SelectedDeviceName and SelectedDeviceSize; a close without a choice leaves
// both as they were.
class frmDevices : public QDialog {
  Q_OBJECT
 public:
  explicit frmDevices(const Services& services, QWidget* owner = nullptr);

  // Fills the list from the catalogue. When the catalogue cannot be read,
  // tells the user, closes the window and returns false.
  bool Load();
  // Loads and, when that worked, shows the window modally until it closes.
  void ShowModal();

  void Text1_Change();
  void List1_DblClick();
  void List1_KeyUp(int key);
  void List2_DblClick();
  void List2_KeyUp(int key);

  Label* Label1;
  TextBox* Text1;
  ListBox* List1;  // every device, in file order
  ListBox* List2;  // search results, in the place of List1

 private:
  // Takes the first catalogue line whose name equals List1's selected entry.
  void ChooseFromList1();
  void ChooseFromList2();

  Services services_;
  std::vector<DeviceLine> catalogue_;
};

// Opens a fresh picker modally over owner (or on its own) and waits for it.
void ShowDevicePicker(const Services& services, QWidget* owner);

}  // namespace trimora
