#include <QApplication>
#include <QTest>

#include "CropGeometry.h"
#include "WorkspaceFixture.h"

using namespace trimora;
using namespace trimora::testing;

// The crop view in the window: the wheel, auto-pan and the keyboard hand-over of the arrow keys
// mode (its scrolling and centring rules are CropGeometry's tables).
namespace {

class CropViewInWindow : public WorkspaceFixture {};

TEST_F(CropViewInWindow, AutoPanScrollsTowardsTheFrameUnlessThePointerRestsOnTheList) {
  WritePicture(in() + "/wide.png", 1800, 1200, 1);
  startWith(200, 150);
  pointAt(view().visibleSize().width() - 5, 100);
  const QPoint start = view().scrollPosition();
  fakes.pointer.under = &list();
  tick(300);
  EXPECT_EQ(view().scrollPosition(), start);
  fakes.pointer.under = canvas();
  tick(100);
  EXPECT_EQ(view().scrollPosition().x(), start.x() + kPanStep * kPanPasses);
  tick(1000);
  EXPECT_GT(view().scrollPosition().x(), start.x() + 10 * kPanStep * kPanPasses);
  panel().setAutoPan(0);
  const QPoint stopped = view().scrollPosition();
  tick(300);
  EXPECT_EQ(view().scrollPosition(), stopped);
}

// The wheel scrolls (Shift: sideways), the frame following the resting pointer; a new picture
// opens scrolled to where the frame was when the pointer is away from the view.
TEST_F(CropViewInWindow, TheWheelScrollsAndANewPictureShowsTheFrame) {
  WritePicture(in() + "/a.png", 1800, 1200, 1);
  WritePicture(in() + "/b.png", 1700, 1100, 2);
  startWith(200, 150);
  pointAt(300, 200);
  const auto wheel = [&](Qt::KeyboardModifiers modifiers) {
    QWheelEvent event(view().mapFromGlobal(fakes.pointer.pos), fakes.pointer.pos, {}, {0, -240},
                      Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&view(), &event);
  };
  wheel(Qt::NoModifier);
  EXPECT_EQ(view().scrollPosition(), QPoint(0, 120));
  wheel(Qt::ShiftModifier);
  EXPECT_EQ(view().scrollPosition(), QPoint(120, 120));
  EXPECT_EQ(view().frameRect().topLeft(), QPoint(300 + 120 - 100, 200 + 120 - 75));  // followed
  view().scrollTo({10000, 10000});
  view().trackPointer({1799, 1199});  // the frame in the bottom-right corner
  fakes.pointer.pos = QPoint(-5000, -5000);
  key(Qt::Key_Right);
  const QRect shown(view().scrollPosition(), view().visibleSize());
  EXPECT_TRUE(shown.contains(view().frameRect())) << view().frameRect().x();
  EXPECT_EQ(view().frameRect().bottomRight(), QPoint(1699, 1099));
}

TEST_F(CropViewInWindow, ArrowKeysModeHandsThePictureTheKeyboardUnderThePointer) {
  WritePicture(in() + "/pic.png", 600, 400, 1);
  startWith(100, 80);
  QApplication::setActiveWindow(window.get());
  tick(100);
  EXPECT_EQ(panel().arrowKeysColour(), QColor(Qt::blue));
  EXPECT_EQ(panel().arrowKeysCaption(), "Arrow Keys Disabled");
  window->toggleArrowKeys();
  EXPECT_EQ(panel().arrowKeysCaption(), "Arrow Keys Enabled");
  EXPECT_TRUE(statuses.last() == "Arrow Keys Enabled" && stored("ArrowKeys") == "1");
  fakes.pointer.pos = view().mapToGlobal(QPoint(-50, 10));  // outside the view
  tick(100);
  EXPECT_EQ(panel().arrowKeysColour(), QColor(Qt::black));
  EXPECT_FALSE(view().pictureHasFocus());
  fakes.pointer.pos = view().mapToGlobal(QPoint(50, 10));
  tick(100);
  EXPECT_EQ(panel().arrowKeysColour(), QColor(Qt::red));
  EXPECT_TRUE(view().pictureHasFocus());
  window->toggleArrowKeys();
  EXPECT_EQ(stored("ArrowKeys"), "0");
}

}  // namespace
