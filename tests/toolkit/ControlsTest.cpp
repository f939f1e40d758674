#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "CheckBox.h"
#include "FileListBox.h"
#include "Label.h"
#include "ScrollBar.h"
#include "TestPictures.h"
#include "TextBox.h"

using namespace trimora;

TEST(ScrollBarControl, RefusesValuesOutsideItsRangeAndKeepsItsOwn) {
  ScrollBar bar(Qt::Horizontal);
  int changes = 0;
  bar.onChange = [&] { ++changes; };
  ASSERT_TRUE(bar.setMin(5));
  ASSERT_TRUE(bar.setMax(100));
  changes = 0;
  ASSERT_TRUE(bar.setValue(50));
  EXPECT_EQ(changes, 1);
  EXPECT_FALSE(bar.setValue(4));
  EXPECT_FALSE(bar.setValue(101));
  EXPECT_FALSE(bar.setValue(70000));
  EXPECT_EQ(bar.Value(), 50);
  EXPECT_EQ(changes, 1);
  EXPECT_FALSE(bar.setMax(40000));  // beyond 16 bits
  EXPECT_FALSE(bar.setMin(-40000));
  EXPECT_EQ(bar.Max(), 100);
  EXPECT_TRUE(bar.setValue(50));  // the same value is no change
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(bar.setMax(30));  // a smaller Max pulls the value along, as a change
  EXPECT_EQ(bar.Value(), 30);
  EXPECT_EQ(changes, 2);
}

TEST(ScrollBarControl, UserStepsRaiseChange) {
  ScrollBar bar(Qt::Horizontal);
  bar.resize(200, 16);
  bar.setMin(0);
  bar.setMax(100);
  bar.setLargeChange(10);
  int changes = 0;
  bar.onChange = [&] { ++changes; };
  bar.triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(bar.Value(), 10);
  EXPECT_EQ(changes, 1);
}

TEST(CheckBoxControl, ClickOnEveryChangeMouseUpOnlyFromTheMouse) {
  CheckBox box(QStringLiteral("Resize Lock"));
  box.resize(120, 20);
  box.show();
  QStringList events;
  box.onClick = [&] { events << QStringLiteral("Click%1").arg(box.Value()); };
  box.onMouseUp = [&](Qt::MouseButton) { events << QStringLiteral("MouseUp%1").arg(box.Value()); };

  EXPECT_TRUE(box.setValue(1));
  EXPECT_TRUE(box.setValue(1));  // unchanged: no Click
  EXPECT_FALSE(box.setValue(7));
  EXPECT_EQ(box.Value(), 1);
  EXPECT_EQ(events, QStringList({"Click1"}));

  events.clear();
  QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(8, 10));
  EXPECT_EQ(events, QStringList({"Click0", "MouseUp0"}));  // toggled before MouseUp

  events.clear();
  box.setFocus();
  QTest::keyClick(&box, Qt::Key_Space);
  EXPECT_EQ(events, QStringList({"Click1"}));

  events.clear();
  EXPECT_TRUE(box.setValue(2));
  EXPECT_EQ(box.Value(), 2);
  EXPECT_EQ(events, QStringList({"Click2"}));
}

TEST(TextBoxControl, CodeAndUserEditsBothRaiseChangeAndMayReenter) {
  TextBox box;
  box.show();
  int changes = 0;
  // A reaction that normalises the text, as the size boxes do.
  box.onChange = [&] {
    ++changes;
    box.setText(QString::number(int(box.Text().toDouble())));
  };
  box.setText(QStringLiteral("12"));
  EXPECT_EQ(box.Text(), "12");
  EXPECT_EQ(changes, 1);
  box.setText(QStringLiteral("12"));
  EXPECT_EQ(changes, 1);

  box.setFocus();
  box.setCursorPosition(2);
  QTest::keyClicks(&box, QStringLiteral("a"));  // "12a" is normalised back to "12"
  EXPECT_EQ(box.Text(), "0");  // toDouble("12a") is 0: the reaction ran on the user's edit
  EXPECT_GE(changes, 2);

  QList<int> released;
  box.onKeyUp = [&](int key) { released << key; };
  QTest::keyClick(&box, Qt::Key_Left);
  EXPECT_EQ(released, QList<int>({Qt::Key_Left}));
}

TEST(TwipsGeometryTest, KeepsTwipsThatAreNotWholePixels) {
  Label label;
  label.setLeft(-1007);
  label.setTop(200);
  EXPECT_EQ(label.Left(), -1007);
  EXPECT_EQ(label.Top(), 200);
  EXPECT_EQ(label.x(), -67);
  label.move(10, 10);  // moved in pixels: twips follow the pixels
  EXPECT_EQ(label.Left(), 150);
  EXPECT_FALSE(label.setWidth(-15));
}

namespace {

QString touch(const QString& folder, const QString& name) {
  QFile f(folder + QLatin1Char('/') + name);
  f.open(QIODevice::WriteOnly);
  return f.fileName();
}

}  // namespace

TEST(FileListBoxControl, MatchesMasksIgnoringCaseAndSortsNames) {
  QTemporaryDir dir;
  for (const char* name : {"b.png", "IMG_0001.JPG", "a.jpg", "C.Gif", "notes.txt", "d.bmp",
                           "photo.jpeg", "Zeta.jpg", "alpha.JPG"})
    touch(dir.path(), name);
  QDir(dir.path()).mkdir(QStringLiteral("folder.jpg"));  // a folder is not listed

  FileListBox list;
  list.setPattern(QStringLiteral("*.jpg;*.gif;*.bmp;*.png"));
  int clicks = 0;
  list.onClick = [&] { ++clicks; };
  ASSERT_TRUE(list.setPath(dir.path()));
  QStringList names;
  for (int i = 0; i < list.ListCount(); ++i) names << list.List(i);
  EXPECT_EQ(names, QStringList({"a.jpg", "alpha.JPG", "b.png", "C.Gif", "d.bmp", "IMG_0001.JPG",
                                "Zeta.jpg"}));
  EXPECT_EQ(list.ListIndex(), -1);
  EXPECT_EQ(list.FileName(), "");
  EXPECT_EQ(clicks, 0);  // listing a folder selects nothing and raises nothing
}

TEST(FileListBoxControl, IndexAssignmentsRaiseClickAndBadOnesAreRefused) {
  QTemporaryDir dir;
  touch(dir.path(), "one.jpg");
  touch(dir.path(), "two.jpg");
  FileListBox list;
  list.setPattern(QStringLiteral("*.jpg"));
  ASSERT_TRUE(list.setPath(dir.path()));
  QStringList seen;
  list.onClick = [&] { seen << list.FileName(); };
  EXPECT_TRUE(list.setListIndex(1));
  EXPECT_EQ(list.FileName(), "two.jpg");
  EXPECT_FALSE(list.setListIndex(2));
  EXPECT_FALSE(list.setListIndex(-2));
  EXPECT_EQ(list.ListIndex(), 1);
  EXPECT_TRUE(list.setListIndex(-1));
  EXPECT_EQ(seen, QStringList({"two.jpg", ""}));
}

TEST(FileListBoxControl, AFolderThatCannotBeOpenedKeepsThePreviousList) {
  QTemporaryDir dir;
  touch(dir.path(), "one.jpg");
  FileListBox list;
  list.setPattern(QStringLiteral("*.jpg"));
  ASSERT_TRUE(list.setPath(dir.path()));
  ASSERT_TRUE(list.setListIndex(0));
  EXPECT_FALSE(list.setPath(dir.path() + "/missing"));
  EXPECT_FALSE(list.setPath(QString()));
  EXPECT_FALSE(list.setPath(touch(dir.path(), "file.jpg")));  // a file is no folder
  EXPECT_EQ(list.Path(), QDir(dir.path()).absolutePath());
  EXPECT_EQ(list.ListCount(), 1);

  // Refresh sees new files and drops the selection.
  touch(dir.path(), "zz.jpg");
  EXPECT_TRUE(list.Refresh());
  EXPECT_EQ(list.ListCount(), 3);
  EXPECT_EQ(list.ListIndex(), -1);
}

TEST(FileListBoxControl, SurvivesALinkLoopAndDanglingLinks) {
  QTemporaryDir dir;
  touch(dir.path(), "real.jpg");
  QFile::link(dir.path(), dir.path() + "/loop.jpg");  // a link to its own folder
  QFile::link(dir.path() + "/gone.png", dir.path() + "/dangling.png");
  FileListBox list;
  list.setPattern(QStringLiteral("*.jpg;*.png"));
  ASSERT_TRUE(list.setPath(dir.path()));
  EXPECT_EQ(list.ListCount(), 1);
  EXPECT_EQ(list.List(0), "real.jpg");
}
