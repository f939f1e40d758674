#include <QApplication>
#include <QTest>

#include "CropGeometry.h"
#include "WindowLayout.h"
#include "WorkspaceFixture.h"

using namespace trimora;
using namespace trimora::testing;

// The crop view in the window: scrolling and centring, the wheel, auto-pan and the keyboard
// hand-over of the arrow keys mode.
namespace {

class CropViewInWindow : public WorkspaceFixture {};

// Every picture height around the view's is either centred in the part the scroll bar leaves
// uncovered or scrolls until its last row shows, at the first size and after a resize.
TEST_F(CropViewInWindow, EveryRowOfEveryPictureHeightCanBeSeen) {
  const int visible = kDesignClientSize.height() - 17;  // the view less its scroll bar
  for (int d = -6; d <= 6; ++d)
    WritePicture(in() + QString("/h%1.png").arg(d + 50), 100, visible + d, 1);
  startWith(20, 20);
  for (int pass = 0; pass < 2; ++pass, window->resize(window->width(), window->height() + 7))
    for (int i = 0; i < list().count(); ++i) {
      list().select(i);
      const QRect c = view().canvasGeometry();
      const int uncovered = view().visibleSize().height(), range = view().scrollRange().height();
      view().scrollTo({0, range});
      EXPECT_TRUE(range ? view().canvasGeometry().bottom() == uncovered - 1
                        : c.top() >= 0 && std::abs(c.top() - (uncovered - 1 - c.bottom())) <= 1)
          << c.height() << " in " << uncovered;
    }
}

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
    const QPoint at = view().mapFromGlobal(fakes.pointer.pos), global = fakes.pointer.pos;
    QWheelEvent event(at, global, {}, {0, -240}, Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
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
