// The device picker: its list, the search, choosing by Enter or double-click,
// and the main window's ".." label that applies the choice.
#include <QMouseEvent>
#include <QTest>

#include "SelectedDevice.h"
#include "SetupFixture.h"
#include "frmDevices.h"

namespace trimora::testing {
namespace {

class DevicePickerTest : public SetupFixture {
 protected:
  void SetUp() override {
    SetupFixture::SetUp();
    WriteCatalogue(
        "Alpha 100:240x320\r\n"
        "Beta:480x800\r\n"
        "ALPHA X:600x1024\r\n"
        "\r\n"  // a blank line in the middle is passed over
        "Bar\r\n"
        "Beta:111x222\r\n");
  }
  static QStringList entries(const ListBox& list) {
    QStringList all;
    for (int i = 0; i < list.ListCount(); ++i) all << list.List(i);
    return all;
  }
  static QColor searchBack(const frmDevices& picker) {
    return picker.Text1->palette().color(QPalette::Base);
  }
  // A double-click as the desktop delivers it: press, release, double-click,
  // release.
  static void DoubleClickRow(ListBox& list, int row) {
    list.doItemsLayout();
    const QPoint at = list.visualItemRect(list.item(row)).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
    QMouseEvent twice(QEvent::MouseButtonDblClick, at, list.viewport()->mapToGlobal(at),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list.viewport(), &twice);
    QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, at);
  }
};

TEST_F(DevicePickerTest, ListsInFileOrderAndSearchesFromTheThirdCharacter) {
  frmDevices picker(services);
  ASSERT_TRUE(picker.Load());
  EXPECT_EQ(picker.windowTitle(), "Select Device");
  EXPECT_EQ(entries(*picker.List1), QStringList({"Alpha 100", "Beta", "ALPHA X", "Bar", "Beta"}));
  EXPECT_TRUE(fakes.messages.shown.empty());

  picker.Text1->setText("al");
  EXPECT_TRUE(picker.List1->Visible());
  EXPECT_FALSE(picker.List2->Visible());
  EXPECT_EQ(searchBack(picker), QColor(Qt::white));

  picker.Text1->setText("alp");  // letter case ignored, catalogue order kept
  EXPECT_FALSE(picker.List1->Visible());
  EXPECT_TRUE(picker.List2->Visible());
  EXPECT_EQ(entries(*picker.List2), QStringList({"Alpha 100", "ALPHA X"}));
  EXPECT_EQ(searchBack(picker), QColor(255, 255, 0));

  picker.Text1->setText("alpz");  // no hit: an empty result list, white again
  EXPECT_TRUE(picker.List2->Visible());
  EXPECT_EQ(picker.List2->ListCount(), 0);
  EXPECT_EQ(searchBack(picker), QColor(Qt::white));
}

TEST_F(DevicePickerTest, ChoosingTakesTheFirstLineOfThatName) {
  frmDevices picker(services);
  ASSERT_TRUE(picker.Load());
  picker.List1_KeyUp(Qt::Key_Return);  // nothing selected: nothing chosen
  EXPECT_EQ(picker.result(), QDialog::Rejected);

  picker.List1->setListIndex(4);  // the second "Beta"
  picker.List1_KeyUp(Qt::Key_Enter);
  EXPECT_EQ(picker.result(), QDialog::Accepted);
  EXPECT_EQ(SelectedDeviceName, "Beta");
  EXPECT_EQ(SelectedDeviceSize, "480x800");

  // A line without a size closes the picker and keeps the last choice.
  frmDevices again(services);
  ASSERT_TRUE(again.Load());
  again.List1->setListIndex(3);  // "Bar"
  again.List1_DblClick();
  EXPECT_EQ(again.result(), QDialog::Accepted);
  EXPECT_EQ(SelectedDeviceName, "Beta");
  EXPECT_EQ(SelectedDeviceSize, "480x800");
}

TEST_F(DevicePickerTest, AMissingCatalogueIsReportedAndClosesThePicker) {
  // A folder in the catalogue's place: found first, but it cannot be read.
  ASSERT_TRUE(QFile::remove(root.path() + "/devices.dat"));
  ASSERT_TRUE(QDir(root.path()).mkdir("devices.dat"));
  frmDevices picker(services);
  EXPECT_FALSE(picker.Load());
  ASSERT_EQ(fakes.messages.shown.size(), 1u);
  EXPECT_EQ(fakes.messages.shown[0].text, "Devices.dat file missing!");
  EXPECT_EQ(fakes.messages.shown[0].icon, MsgIcon::Stop);
  EXPECT_EQ(picker.List1->ListCount(), 0);
  EXPECT_EQ(picker.result(), QDialog::Rejected);
}

TEST_F(DevicePickerTest, AResultIsChosenByDoubleClickInTheShownPicker) {
  WhenShown<frmDevices>([](frmDevices& picker) {
    EXPECT_EQ(picker.focusWidget(), picker.Text1);
    QTest::keyClicks(picker.Text1, "ALP");
    ASSERT_EQ(picker.List2->ListCount(), 2);
    DoubleClickRow(*picker.List2, 1);
    if (picker.isVisible()) picker.reject();  // keeps a failing test from hanging
  });
  ShowDevicePicker(services, nullptr);
  EXPECT_EQ(SelectedDeviceName, "ALPHA X");
  EXPECT_EQ(SelectedDeviceSize, "600x1024");
}

TEST_F(DevicePickerTest, DotsLabelAppliesTheChoiceAndReappliesItAfterAManualSize) {
  frmMain& main = StartQuietly();
  WhenShown<frmDevices>([](frmDevices& picker) {
    picker.List1->setListIndex(0);  // Alpha 100
    QTest::keyClick(picker.List1, Qt::Key_Return);
    if (picker.isVisible()) picker.reject();
  });
  main.lbl_Click();
  EXPECT_EQ(main.DeviceName->Text(), "Alpha 100");
  EXPECT_EQ(main.PWidth->Text(), "240");
  EXPECT_EQ(main.PHeight->Text(), "320");
  EXPECT_EQ(main.Shape3->Width(), 240 * 15);
  EXPECT_EQ(main.Shape3->Height(), 320 * 15);

  // The user types a width of their own; the device becomes "Manual".
  QTest::keyClick(main.PWidth, Qt::Key_5);
  EXPECT_EQ(main.DeviceName->Text(), "Manual");

  // Opening the picker and closing it without a choice applies Alpha 100 again.
  WhenShown<frmDevices>([](frmDevices& picker) { picker.reject(); });
  main.lbl_Click();
  EXPECT_EQ(main.DeviceName->Text(), "Alpha 100");
  EXPECT_EQ(main.PWidth->Text(), "240");
}

}  // namespace
}  // namespace trimora::testing
