// The device picker: the search, and choosing by Enter or a double-click.
#include <QApplication>
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

// Each size is drawn at the right end of its row, apart from the name a choice looks up; devices
// that the picture shown cannot fill in either orientation are greyed and say why, yet can be
// chosen. In the search box Down goes into the list on show and Enter takes the first hit.
TEST_F(DevicePickerTest, DrawsSizesGreysWhatThePictureCannotFillAndTakesKeysInTheSearchBox) {
  ASSERT_TRUE(WriteBytes(root.filePath("devices.dat"),
                         "Big one:600x600\nTall one:300x500\n"
                         "Wide one:500x300\nBar one\nOdd one:12x\n"
                         "Thin one:9x999\n"));
  DevicePicker picker(services);
  ASSERT_TRUE(picker.load());
  picker.setPictureSize(QSize(520, 320));
  picker.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&picker));
  QWidget* search = picker.focusWidget();
  QTest::keyClick(search, Qt::Key_Return);
  ASSERT_TRUE(picker.isVisible()) << "no search yet, yet something was chosen";
  QTest::keyClicks(search, "ONE");
  auto* hits = picker.findChildren<QListWidget*>().value(1);
  ASSERT_TRUE(hits && hits->count() == 6);
  QApplication::processEvents();  // the list just shown lays its rows out
  const QImage shot = hits->viewport()->grab().toImage();
  QStringList seen;  // per row: the name drawn black, a size drawn at the right, a reason given
  for (int row = 0; row < hits->count(); ++row) {
    const QRect line = hits->visualItemRect(hits->item(row));
    int name = 255, size = 255;
    for (int y = line.top(); y <= line.bottom(); ++y)
      for (int x = 0; x < line.width(); ++x)
        (x < 200 ? name : size) = std::min(x < 200 ? name : size, qGray(shot.pixel(x, y)));
    seen << QString("%1%2%3")
                .arg(name < 100)
                .arg(size < 200)
                .arg(!hits->item(row)->toolTip().isEmpty());
  }
  EXPECT_EQ(seen, QStringList({"011", "110", "110", "100", "110", "011"}));
  QTest::keyClick(search, Qt::Key_Down);
  ASSERT_TRUE(picker.focusWidget() == hits && hits->currentRow() == 0);
  search->setFocus();
  QTest::keyClick(search, Qt::Key_Return);
  EXPECT_FALSE(picker.isVisible());
  EXPECT_EQ(lastDeviceChoice().name + ' ' + lastDeviceChoice().size, "Big one 600x600");
}

}  // namespace
}  // namespace trimora::testing
