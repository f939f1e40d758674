// The device picker: its list, the search, choosing by Enter or double-click,
// and the ".." label of the main window that applies the choice.
#include <QMouseEvent>
#include <QTest>

#include "SelectedDevice.h"
#include "SetupFixture.h"
#include "frmDevices.h"

namespace trimora::testing {
namespace {

const QByteArray kCatalogue =
    "Alpha 100:240x320\r\n"
    "Beta:480x800\r\n"
    "ALPHA X:600x1024\r\n"
    "\r\n"  // a blank line in the middle is passed over
    "Foo:360x640:extra\r\n"
    "Bar\r\n"
    "Beta:111x222\r\n"
    "Gamma:1080x1920\r\n";

class DevicePickerTest : public SetupFixture {
 protected:
  void SetUp() override {
    SetupFixture::SetUp();
    WriteCatalogue(kCatalogue);
  }
  static QStringList entries(const ListBox& list) {
    QStringList all;
    for (int i = 0; i < list.ListCount(); ++i) all << list.List(i);
    return all;
  }
  static int rowOf(const ListBox& list, const QString& text, int from = 0) {
    for (int i = from; i < list.ListCount(); ++i)
      if (list.List(i) == text) return i;
    return -1;
  }
  // A double-click on one entry as the desktop delivers it: press, release,
  // double-click, release.
  static void DoubleClickRow(ListBox& list, int row) {
    list.doItemsLayout();
    const QPoint at = list.visualItemRect(list.item(row)).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
    QMouseEvent twice(QEvent::MouseButtonDblClick, at, list.viewport()->mapToGlobal(at),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list.viewport(), &twice);
    QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, at);
  }
  static QColor searchBack(const frmDevices& picker) {
    return picker.Text1->palette().color(QPalette::Base);
  }
};

TEST_F(DevicePickerTest, ListsTheCatalogueInFileOrder) {
  frmDevices picker(services);
  ASSERT_TRUE(picker.Load());
  EXPECT_EQ(picker.windowTitle(), "Select Device");
  EXPECT_EQ(entries(*picker.List1),
            QStringList({"Alpha 100", "Beta", "ALPHA X", "Foo", "Bar", "Beta", "Gamma"}));
  EXPECT_TRUE(picker.List1->Visible());
  EXPECT_FALSE(picker.List2->Visible());
  EXPECT_TRUE(picker.Text1->Text().isEmpty());
  EXPECT_TRUE(fakes.messages.shown.empty());
}

TEST_F(DevicePickerTest, SearchNarrowsFromTheThirdCharacter) {
  frmDevices picker(services);
  ASSERT_TRUE(picker.Load());

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
  EXPECT_FALSE(picker.List1->Visible());
  EXPECT_EQ(picker.List2->ListCount(), 0);
  EXPECT_EQ(searchBack(picker), QColor(Qt::white));

  picker.Text1->setText("et");  // back under three characters: the full list
  EXPECT_TRUE(picker.List1->Visible());
  EXPECT_EQ(picker.List1->ListCount(), 7);
}

TEST_F(DevicePickerTest, ChoosingTakesTheFirstLineOfThatName) {
  frmDevices picker(services);
  ASSERT_TRUE(picker.Load());
  // The second "Beta" is chosen, but the first line of that name counts.
  picker.List1->setListIndex(rowOf(*picker.List1, "Beta", 2));
  picker.List1_KeyUp(Qt::Key_Enter);
  EXPECT_EQ(picker.result(), QDialog::Accepted);
  EXPECT_EQ(SelectedDeviceName, "Beta");
  EXPECT_EQ(SelectedDeviceSize, "480x800");
}

TEST_F(DevicePickerTest, ChoosingIgnoresFieldsAfterTheSize) {
  frmDevices picker(services);
  ASSERT_TRUE(picker.Load());
  picker.List1->setListIndex(rowOf(*picker.List1, "Foo"));
  picker.List1_DblClick();
  EXPECT_EQ(SelectedDeviceName, "Foo");
  EXPECT_EQ(SelectedDeviceSize, "360x640");
}

TEST_F(DevicePickerTest, ALineWithoutSizeClosesAndKeepsTheLastChoice) {
  SelectedDeviceName = "Earlier";
  SelectedDeviceSize = "320x240";
  frmDevices picker(services);
  ASSERT_TRUE(picker.Load());
  picker.List1->setListIndex(rowOf(*picker.List1, "Bar"));
  picker.List1_KeyUp(Qt::Key_Return);
  EXPECT_EQ(picker.result(), QDialog::Accepted);
  EXPECT_EQ(SelectedDeviceName, "Earlier");
  EXPECT_EQ(SelectedDeviceSize, "320x240");
}

TEST_F(DevicePickerTest, OtherKeysAndNoSelectionChooseNothing) {
  frmDevices picker(services);
  ASSERT_TRUE(picker.Load());
  picker.List1_KeyUp(Qt::Key_Return);  // nothing selected yet
  picker.List1->setListIndex(0);
  picker.List1_KeyUp(Qt::Key_Down);
  EXPECT_EQ(picker.result(), QDialog::Rejected);
  EXPECT_TRUE(SelectedDeviceName.isEmpty());
  EXPECT_TRUE(SelectedDeviceSize.isEmpty());
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
  EXPECT_EQ(fakes.messages.shown[0].title, "Trimora");
  EXPECT_EQ(picker.List1->ListCount(), 0);
  EXPECT_EQ(picker.result(), QDialog::Rejected);
}

TEST_F(DevicePickerTest, ResultsAreChosenByTheUserAsShownModally) {
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
    picker.List1->setFocus();
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
  main.PWidth->setFocus();
  QTest::keyClick(main.PWidth, Qt::Key_5);
  EXPECT_EQ(main.DeviceName->Text(), "Manual");
  EXPECT_EQ(main.PWidth->Text(), "2405");

  // Opening the picker and closing it without a choice applies Alpha 100 again.
  WhenShown<frmDevices>([](frmDevices& picker) { picker.reject(); });
  main.lbl_Click();
  EXPECT_EQ(main.DeviceName->Text(), "Alpha 100");
  EXPECT_EQ(main.PWidth->Text(), "240");
  EXPECT_EQ(main.PHeight->Text(), "320");
}

TEST_F(DevicePickerTest, DotsLabelLeavesTheBoxesWhenNothingWasEverChosen) {
  frmMain& main = StartQuietly();
  const QString width = main.PWidth->Text();
  WhenShown<frmDevices>([](frmDevices& picker) { picker.reject(); });
  main.lbl_Click();
  EXPECT_EQ(main.PWidth->Text(), width);
  EXPECT_NE(main.DeviceName->Text(), "Alpha 100");
}

TEST_F(DevicePickerTest, DotsLabelWithASizeWithoutXSetsOnlyNameAndWidth) {
  WriteCatalogue("Odd:640X480\n");
  frmMain& main = StartQuietly();
  main.PHeight->setText("77");
  WhenShown<frmDevices>([](frmDevices& picker) {
    picker.List1->setListIndex(0);
    picker.List1_DblClick();
  });
  main.lbl_Click();
  EXPECT_EQ(main.DeviceName->Text(), "Odd");
  EXPECT_EQ(main.PWidth->Text(), "640");  // the width box keeps the leading number
  EXPECT_EQ(main.PHeight->Text(), "77");
}

}  // namespace
}  // namespace trimora::testing
