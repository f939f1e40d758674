// The device picker: the search, and choosing by Enter or a double-click.
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include "DevicePicker.h"
#include "FolderFixture.h"

namespace trimora::testing {
namespace {

class DevicePickerTest : public FolderFixture {};

TEST_F(DevicePickerTest, SearchesFromTheThirdLetterAndTakesTheFirstLineOfTheNameChosen) {
  ASSERT_TRUE(WriteBytes(root.filePath("devices.dat"),
                         "Alpha 100:240x320\nBeta:480x800\nALPHA X:600x1024\nBar\nBeta:1x2\n"));
  const QStringList all = {"Alpha 100", "Beta", "ALPHA X", "Bar", "Beta"};  // "Bar" has no size
  // Typed, the entries then on show and whether the search box turns yellow; the row
  // taken by a double-click or Enter (on its release); the choice, "Bar" keeping the last.
  const std::tuple<QString, QStringList, bool, int, bool, QString> cases[] = {
      {"", all, false, -1, false, "open"},
      {"al", all, false, 4, false, "Beta 480x800"},
      {"et", all, false, 3, true, "Beta 480x800"},
      {"aLp", {"Alpha 100", "ALPHA X"}, true, 1, true, "ALPHA X 600x1024"},
      {"alpz", {}, false, 0, false, "open"}};
  for (const auto& [typed, shown, yellow, row, doubleClick, chosen] : cases) {
    SCOPED_TRACE(qPrintable(typed));
    DevicePicker picker(services);
    ASSERT_TRUE(picker.load());
    picker.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&picker));
    QTest::keyClicks(picker.focusWidget(), typed);  // the search box has the focus
    EXPECT_EQ(picker.shownDevices(), shown);
    EXPECT_EQ(picker.findChild<QLineEdit*>()->palette().color(QPalette::Base),
              yellow ? QColor(255, 255, 0) : QColor(Qt::white));
    QTest::keyClick(picker.focusWidget(), Qt::Key_Tab);  // into the list on show
    auto* list = qobject_cast<QListWidget*>(picker.focusWidget());
    ASSERT_TRUE(list && list->count() == shown.size());
    for (int down = 0; down < row; ++down) QTest::keyClick(list, Qt::Key_Down);
    if (row < 0) list->setCurrentRow(-1);
    if (doubleClick) {
      Q_EMIT list->itemDoubleClicked(list->item(row));
    } else {
      QTest::keyPress(list, Qt::Key_Return);
      EXPECT_TRUE(picker.isVisible()) << "chosen on the press, not the release";
      QTest::keyRelease(list, Qt::Key_Return);
    }
    const DeviceChoice& choice = lastDeviceChoice();  // "open" while the picker is
    EXPECT_EQ(picker.isVisible() ? "open" : choice.name + ' ' + choice.size, chosen);
  }
}

}  // namespace
}  // namespace trimora::testing
