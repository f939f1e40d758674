// The device picker: the search, choosing by Enter or double-click, and a
// catalogue that cannot be read.
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include "DevicePicker.h"
#include "SetupTest.h"

namespace trimora::testing {
namespace {

class DevicePickerTest : public SetupTest {
 protected:
  void SetUp() override {
    SetupTest::SetUp();
    // "Beta" is listed twice; "Bar" has no size.
    ASSERT_TRUE(WriteBytes(root.filePath("devices.dat"),
                           "Alpha 100:240x320\nBeta:480x800\nALPHA X:600x1024\nBar\nBeta:1x2\n"));
  }
  // Types into the shown picker, tabs into the list on show, goes down to a row
  // and takes it by Enter or a double-click. Gives the last choice then, or
  // "open".
  QString pick(const QString& typed, int row, bool doubleClick) {
    DevicePicker picker(services);
    EXPECT_TRUE(picker.load());
    picker.show();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&picker));
    EXPECT_EQ(picker.focusWidget(), picker.findChild<QLineEdit*>());
    QTest::keyClicks(picker.focusWidget(), typed);
    QTest::keyClick(picker.focusWidget(), Qt::Key_Tab);
    auto* list = qobject_cast<QListWidget*>(picker.focusWidget());
    if (!list || list->count() != picker.shownDevices().size()) return "Tab leads elsewhere";
    for (int down = 0; down < row; ++down) QTest::keyClick(list, Qt::Key_Down);
    if (row < 0) list->setCurrentRow(-1);
    if (doubleClick) {
      Q_EMIT list->itemDoubleClicked(list->item(row));
    } else {
      QTest::keyPress(list, Qt::Key_Return);  // chosen when it is released
      if (!picker.isVisible()) return "chosen on the press";
      QTest::keyRelease(list, Qt::Key_Return);
    }
    return picker.isVisible() ? "open" : lastDeviceChoice().name + ' ' + lastDeviceChoice().size;
  }
};

TEST_F(DevicePickerTest, SearchNarrowsFromTheThirdLetterIgnoringCase) {
  DevicePicker picker(services);
  ASSERT_TRUE(picker.load());
  const QStringList all = {"Alpha 100", "Beta", "ALPHA X", "Bar", "Beta"};
  // Search text, the entries on show, the search box's colour.
  const std::tuple<QString, QStringList, QColor> steps[] = {
      {"", all, Qt::white},
      {"al", all, Qt::white},
      {"alp", {"Alpha 100", "ALPHA X"}, QColor(255, 255, 0)},
      {"alpz", {}, Qt::white},
      {"et", all, Qt::white}};
  for (const auto& [typed, shown, colour] : steps) {
    picker.setSearchText(typed);
    EXPECT_EQ(picker.shownDevices(), shown) << qPrintable(typed);
    EXPECT_EQ(picker.findChild<QLineEdit*>()->palette().color(QPalette::Base), colour);
  }
  EXPECT_TRUE(fakes.messages.shown.empty());
}

TEST_F(DevicePickerTest, EnterOrADoubleClickChoosesTheFirstLineOfThatName) {
  EXPECT_EQ(pick("", -1, false), "open");         // nothing selected
  EXPECT_EQ(pick("", 4, false), "Beta 480x800");  // the second "Beta"
  EXPECT_EQ(pick("", 3, true), "Beta 480x800");   // "Bar" closes and keeps the last choice
  EXPECT_EQ(pick("ALP", 1, true), "ALPHA X 600x1024");
}

TEST_F(DevicePickerTest, AnUnreadableCatalogueIsToldAndNothingOpens) {
  breakCatalogue();
  DevicePicker picker(services);
  EXPECT_FALSE(picker.load());
  runDevicePicker(services, nullptr);  // returns at once: a modal picker would never close
  EXPECT_EQ(fakes.messages.texts(), QStringList(2, "Devices.dat file missing!"));
  EXPECT_EQ(fakes.messages.shown[0].icon, MessageIcon::Stop);
}

}  // namespace
}  // namespace trimora::testing
