#include "frmDevices.h"
#include "DialogFrame.h"

#include "SelectedDevice.h"

namespace trimora {

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kYellow = 0x00FFFF;  // red and green full, no blue

bool isEnter(int key) {
  return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace

frmDevices::frmDevices(const Services& services, QWidget* owner)
    : QDialog(owner), services_(services) {
  SetUpDialogFrame(*this, QStringLiteral("frmDevices"), QStringLiteral("Select Device"), 6405,
                   4155);

  Label1 = new Label(QStringLiteral("Search"), this);
  // As tall as the search box, so the caption sits level with its text, and
  // wide enough for the caption in whatever font stands in for Tahoma.
  Label1->Move(120, 120, 495, 285);
  Label1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  Label1->setWidth(std::max(495, PixelsToTwips(Label1->sizeHint().width())));

  Text1 = new TextBox(this);
  Text1->Move(720, 120, 5535, 285);
  Text1->setFrame(true);
  Text1->setBackColor(kWhite);
  Text1->setPlaceholderText(QStringLiteral("three letters or more"));

  List1 = new ListBox(this);
  List1->Move(0, 480, 6375, 3570);
  List2 = new ListBox(this);
  List2->Move(0, 480, 6375, 3570);
  List2->hide();

  setTabOrder(Text1, List1);
  setTabOrder(List1, List2);
  Text1->setFocus();

  Text1->onChange = [this] { Text1_Change(); };
  List1->onDblClick = [this] { List1_DblClick(); };
  List1->onKeyUp = [this](int key) { List1_KeyUp(key); };
  List2->onDblClick = [this] { List2_DblClick(); };
  List2->onKeyUp = [this](int key) { List2_KeyUp(key); };
}

bool frmDevices::Load() {
  auto devices = ReadDeviceCatalogue(DeviceCataloguePath());
  if (!devices) {
    services_.Messages->Show(parentWidget(), QStringLiteral("Devices.dat file missing!"),
                             MsgButtons::OK, MsgIcon::Stop);
    List1->Clear();
    reject();
    return false;
  }
  catalogue_ = std::move(*devices);
  for (const DeviceLine& device : catalogue_) List1->AddItem(device.name);
  return true;
}

void frmDevices::ShowModal() {
  if (!Load()) return;
  exec();
}

void frmDevices::Text1_Change() {
  const QString wanted = Text1->Text();
  if (wanted.size() < 3) {
    Text1->setBackColor(kWhite);
    List2->hide();
    List1->show();
    return;
  }
  List2->show();
  List1->hide();
  List2->Clear();
  for (int i = 0; i < List1->ListCount(); ++i) {
    const QString entry = List1->List(i);
    if (entry.contains(wanted, Qt::CaseInsensitive)) List2->AddItem(entry);
  }
  Text1->setBackColor(List2->ListCount() > 0 ? kYellow : kWhite);
}

void frmDevices::List1_DblClick() {
  ChooseFromList1();
}

void frmDevices::List1_KeyUp(int key) {
  if (isEnter(key)) ChooseFromList1();
}

void frmDevices::List2_DblClick() {
  ChooseFromList2();
}

void frmDevices::List2_KeyUp(int key) {
  if (isEnter(key)) ChooseFromList2();
}

void frmDevices::ChooseFromList1() {
  if (List1->ListIndex() < 0) return;  // nothing selected, nothing to choose
  const QString wanted = List1->Text();
  for (const DeviceLine& device : catalogue_) {
    if (device.name != wanted) continue;
    // A line without a size closes the picker and leaves the last choice.
    if (device.hasSize) {
      SelectedDeviceSize = device.size;
      SelectedDeviceName = device.name;
    }
    accept();
    return;
  }
}

void frmDevices::ChooseFromList2() {
  if (List2->ListIndex() < 0) return;
  const QString wanted = List2->Text();
  for (int i = 0; i < List1->ListCount(); ++i) {
    if (List1->List(i) == wanted) {
      List1->setListIndex(i);
      ChooseFromList1();
      return;
    }
  }
}

void ShowDevicePicker(const Services& services, QWidget* owner) {
  frmDevices picker(services, owner);
  picker.ShowModal();
}

}  // namespace trimora
