// The device picker: its list, the search, choosing by Enter or double-click,
// and the main window's ".." label that applies the choice.
#include <QMouseEvent>
#include <QTest>
#include <tuple>

#include "SetupFixture.h"
#include "frmDevices.h"

namespace trimora::testing {
namespace {

class DevicePickerTest : public SetupFixture {
 protected:
  void SetUp() override {
    SetupFixture::SetUp();
    // A blank line in the middle is passed over; "Beta" is listed twice.
    WriteCatalogue(
        "Alpha 100:240x320\r\nBeta:480x800\r\nALPHA X:600x1024\r\n\r\nBar\r\n"
        "Beta:111x222\r\n");
  }
  static QStringList Entries(const ListBox& list) {
    QStringList all;
    for (int i = 0; i < list.ListCount(); ++i) all << list.List(i);
    return all;
  }
  QStringList Choice() const { return {SelectedDeviceName, SelectedDeviceSize}; }
};

TEST_F(DevicePickerTest, ListsInFileOrderAndSearchesFromTheThirdCharacter) {
  frmDevices picker(services);
  ASSERT_TRUE(picker.Load());
  EXPECT_EQ(Entries(*picker.List1), QStringList({"Alpha 100", "Beta", "ALPHA X", "Bar", "Beta"}));
  // Letter case is ignored and catalogue order kept; a hit turns the box yellow.
  const std::tuple<const char*, bool, QStringList, QColor> steps[] = {
      {"al", false, {}, Qt::white},
      {"alp", true, {"Alpha 100", "ALPHA X"}, QColor(255, 255, 0)},
      {"alpz", true, {}, Qt::white}};
  for (const auto& [typed, searching, hits, back] : steps) {
    SCOPED_TRACE(typed);
    picker.Text1->setText(typed);
    EXPECT_EQ(picker.List1->Visible(), !searching);
    EXPECT_EQ(picker.List2->Visible(), searching);
    EXPECT_EQ(Entries(*picker.List2), hits);
    EXPECT_EQ(picker.Text1->palette().color(QPalette::Base), back);
  }
  EXPECT_TRUE(fakes.messages.shown.empty());
}

TEST_F(DevicePickerTest, ChoosingTakesTheFirstLineOfThatName) {
  frmDevices picker(services), again(services);
  ASSERT_TRUE(picker.Load() && again.Load());
  picker.List1_KeyUp(Qt::Key_Return);  // nothing selected: nothing chosen
  EXPECT_EQ(picker.result(), QDialog::Rejected);
  picker.List1->setListIndex(4);  // the second "Beta"
  picker.List1_KeyUp(Qt::Key_Enter);
  EXPECT_EQ(picker.result(), QDialog::Accepted);
  EXPECT_EQ(Choice(), QStringList({"Beta", "480x800"}));
  // A line without a size closes the picker and keeps the last choice.
  again.List1->setListIndex(3);  // "Bar"
  again.List1_DblClick();
  EXPECT_EQ(again.result(), QDialog::Accepted);
  EXPECT_EQ(Choice(), QStringList({"Beta", "480x800"}));
}

TEST_F(DevicePickerTest, AMissingCatalogueIsReportedAndClosesThePicker) {
  // A folder in the catalogue's place: found first, but it cannot be read.
  ASSERT_TRUE(QFile::remove(root.filePath("devices.dat")));
  ASSERT_TRUE(QDir(root.path()).mkdir("devices.dat"));
  frmDevices picker(services);
  EXPECT_FALSE(picker.Load());
  EXPECT_EQ(fakes.messages.texts(), QStringList({"Devices.dat file missing!"}));
  EXPECT_EQ(fakes.messages.shown[0].icon, MsgIcon::Stop);
  EXPECT_EQ(picker.List1->ListCount(), 0);
  EXPECT_EQ(picker.result(), QDialog::Rejected);
}

TEST_F(DevicePickerTest, AResultIsChosenByDoubleClickInTheShownPicker) {
  WhenShown<frmDevices>([](frmDevices& picker) {
    EXPECT_EQ(picker.focusWidget(), picker.Text1);
    QTest::keyClicks(picker.Text1, "ALP");
    ASSERT_EQ(picker.List2->ListCount(), 2);
    // A double-click as the desktop delivers it: press, release, double-click, release.
    ListBox& list = *picker.List2;
    list.doItemsLayout();
    const QPoint at = list.visualItemRect(list.item(1)).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
    QMouseEvent twice(QEvent::MouseButtonDblClick, at, list.viewport()->mapToGlobal(at),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list.viewport(), &twice);
    QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, at);
    if (picker.isVisible()) picker.reject();  // keeps a failing test from hanging
  });
  ShowDevicePicker(services, nullptr);
  EXPECT_EQ(Choice(), QStringList({"ALPHA X", "600x1024"}));
}

TEST_F(DevicePickerTest, DotsLabelAppliesTheChoiceAndReappliesItAfterAManualSize) {
  frmMain& main = StartWithWizard(false);
  WhenShown<frmDevices>([](frmDevices& picker) {
    picker.List1->setListIndex(0);  // Alpha 100
    QTest::keyClick(picker.List1, Qt::Key_Return);
    if (picker.isVisible()) picker.reject();
  });
  main.lbl_Click();
  const auto expectAlpha = [&] {
    EXPECT_EQ(QStringList({main.DeviceName->Text(), main.PWidth->Text(), main.PHeight->Text()}),
              QStringList({"Alpha 100", "240", "320"}));
    EXPECT_EQ(QSize(main.Shape3->Width(), main.Shape3->Height()), QSize(240 * 15, 320 * 15));
  };
  expectAlpha();
  QTest::keyClick(main.PWidth, Qt::Key_5);  // a width of the user's own
  EXPECT_EQ(main.DeviceName->Text(), "Manual");
  // Opening the picker and closing it without a choice applies Alpha 100 again.
  WhenShown<frmDevices>([](frmDevices& picker) { picker.reject(); });
  main.lbl_Click();
  expectAlpha();
}

}  // namespace
}  // namespace trimora::testing
