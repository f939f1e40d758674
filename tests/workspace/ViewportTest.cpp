#include <QMouseEvent>
#include <QTest>

#include "WorkspaceFixture.h"

using namespace trimora;
using namespace trimora::testing;

namespace {

class Viewport : public WorkspaceFixture {
 protected:
  void ShowOne(int w, int h, int frameW = 160, int frameH = 128) {
    WritePicture(in() + "/pic.png", w, h, 1);
    Store("Wizard", "0");
    Store("InputFolder", in());
    Store("PWidth", QString::number(frameW));
    Store("PHeight", QString::number(frameH));
    Start();
    form->show();
  }
  // Moves the pointer over the picture, at picture pixel (x, y).
};

TEST_F(Viewport, ScrollBarsAreOffWithoutAPicture) {
  Store("Wizard", "0");
  Start();
  EXPECT_FALSE(form->HScroll1->isEnabled());
  EXPECT_FALSE(form->VScroll1->isEnabled());
}

// Every picture height around the viewport's is either centred in the part
// the scroll bar leaves uncovered or scrolls until its last row shows, at the
// window's first size and after a resize.
TEST_F(Viewport, EveryRowOfEveryPictureHeightCanBeSeen) {
  Store("Wizard", "0");
  Start();
  const int uncovered = form->HScroll1->geometry().top();  // pixels above the bar
  form.reset();
  for (int d = -12; d <= 12; ++d)
    WritePicture(in() + QString("/h%1.png").arg(d + 50), 100, uncovered + d, 1);
  Store("InputFolder", in());
  Start();
  form->show();
  for (int pass = 0; pass < 2; ++pass) {
    const int visible = form->HScroll1->geometry().top();
    for (int i = 0; i < form->File1->ListCount(); ++i) {
      form->File1->setListIndex(i);
      const QRect picture = form->Picture1->geometry();
      if (!form->VScroll1->isEnabled()) {
        EXPECT_GE(picture.top(), 0) << picture.height();
        EXPECT_LE(picture.bottom(), visible - 1) << picture.height();
        EXPECT_LE(std::abs(picture.top() - (visible - 1 - picture.bottom())), 1);  // centred
      } else {
        form->VScroll1->setValue(form->VScroll1->Max());
        const QRect end = form->Picture1->geometry();
        EXPECT_LE(end.bottom(), visible - 1) << picture.height();  // the last row shows
        EXPECT_GT(end.bottom(), visible - 3) << picture.height();  // and no gap below it
      }
    }
    form->setFormSize(form->FormWidth(), form->FormHeight() + 105);  // seven pixels taller
  }
}

TEST_F(Viewport, FrameFollowsThePointerAndStaysOnThePicture) {
  ShowOne(600, 400, 100, 80);
  PointAt(300, 200);
  EXPECT_EQ(form->Shape3->Left(), (300 - 50) * 15);
  EXPECT_EQ(form->Shape3->Top(), (200 - 40) * 15);
  PointAt(2, 3);  // near the top-left corner: flush with it
  EXPECT_EQ(form->Shape3->Left(), 0);
  EXPECT_EQ(form->Shape3->Top(), 0);
  PointAt(599, 399);
  EXPECT_EQ(form->Shape3->Left() + form->Shape3->Width(), form->Picture1->Width());
  EXPECT_EQ(form->Shape3->Top() + form->Shape3->Height(), form->Picture1->Height());
}

TEST_F(Viewport, TheFrameIsDrawnInvertedOverThePicture) {
  ShowOne(400, 300, 100, 80);
  PointAt(200, 150);
  const QImage shot = form->Picture1->grab().toImage();
  const QImage& picture = form->Picture1->Picture();
  const int left = form->Shape3->Left() / 15, top = form->Shape3->Top() / 15;
  for (const QPoint p :
       {QPoint(left, top + 40), QPoint(left + 2, top + 40), QPoint(left + 50, top + 1)}) {
    const QRgb a = picture.pixel(p), b = shot.pixel(p);
    EXPECT_EQ(qRed(b), 255 - qRed(a));
    EXPECT_EQ(qGreen(b), 255 - qGreen(a));
  }
  EXPECT_EQ(shot.pixel(left + 3, top + 40), picture.pixel(left + 3, top + 40));    // 3 px wide
  EXPECT_EQ(shot.pixel(left + 50, top + 40), picture.pixel(left + 50, top + 40));  // clear inside
}

TEST_F(Viewport, LeftPressOnThePictureAndReleaseAnywhereCrops) {
  ShowOne(600, 400);
  // No output folder: the crop's first check answers, which shows it ran.
  QTest::mouseClick(form->Picture1, Qt::RightButton, {}, QPoint(100, 100));
  EXPECT_TRUE(fakes.messages.shown.empty());
  QTest::mousePress(form->Picture1, Qt::LeftButton, {}, QPoint(100, 100));
  QTest::mouseRelease(form->Picture1, Qt::LeftButton, {}, QPoint(-50, -50));
  ASSERT_EQ(fakes.messages.texts(), QStringList({"Please specify output folder!"}));
  EXPECT_EQ(form->PictureMouseDown, 0);
  // A press elsewhere and a release over the picture does not crop.
  QTest::mouseRelease(form->Picture1, Qt::LeftButton, {}, QPoint(100, 100));
  EXPECT_EQ(fakes.messages.shown.size(), 1u);
}

TEST_F(Viewport, AutoPanScrollsTowardsTheFrameUnlessThePointerRestsOnTheList) {
  ShowOne(1800, 1200, 200, 150);
  ASSERT_TRUE(form->HScroll1->isEnabled());
  // Frame at the far right of the visible area.
  const int x = form->VisibleWidth() / 15 - 20;
  PointAt(x, 200);
  fakes.pointer.under = form->File1->viewport();
  ASSERT_GT(form->Shape3->Left() + form->Shape3->Width(), form->VisibleWidth());
  Tick(100);
  EXPECT_EQ(form->HScroll1->Value(), 0);
  fakes.pointer.under = form->Picture1;
  Tick(100);
  EXPECT_GT(form->HScroll1->Value(), 0);
  EXPECT_EQ(form->HScroll1->Value() % 10, 0);
  const int after = form->HScroll1->Value();
  form->AutoPan->setValue(0);
  Tick(300);
  EXPECT_EQ(form->HScroll1->Value(), after);
}

TEST_F(Viewport, AFrameAsWideAsTheViewportNeverPans) {
  Store("Wizard", "0");
  Start();
  const int wide = (form->Picture2->Width() - form->VScroll1->Width()) / 15 + 1;
  form.reset();
  ShowOne(3000, 1500, wide, 100);
  ASSERT_TRUE(form->Shape3->Visible());
  fakes.pointer.under = form->Picture1;
  PointAt(1500, 700);
  Tick(500);
  EXPECT_EQ(form->HScroll1->Value(), 0);
  EXPECT_EQ(form->VScroll1->Value(), 0);
}

TEST_F(Viewport, ArrowKeysModeTakesTheFocusAndColoursTheLabel) {
  ShowOne(600, 400);
  EXPECT_EQ(form->Label2->ForeColor(), 0xFF0000u);  // blue while off
  form->Label2_Click();
  ASSERT_TRUE(form->ArrowKeysEnabled);
  form->Quality->setFocus();
  fakes.pointer.pos = form->Picture2->mapToGlobal(QPoint(50, 50));
  Tick(100);
  EXPECT_EQ(form->Label2->ForeColor(), 255u);  // red: pointer over the viewport
  EXPECT_TRUE(form->Picture1->hasFocus() || QApplication::focusWidget() == nullptr);
  fakes.pointer.pos = form->Picfrm->mapToGlobal(QPoint(5, 5));
  Tick(100);
  EXPECT_EQ(form->Label2->ForeColor(), 0u);
}

TEST_F(Viewport, AutoPanBoxSpeaksOnlyWhenClicked) {
  ShowOne(300, 200);
  form->AutoPan->setValue(0);
  EXPECT_NE(form->StatusText->Caption(), "Autopan Disabled");
  QTest::mouseClick(form->AutoPan, Qt::LeftButton, {}, QPoint(6, 8));
  EXPECT_EQ(form->StatusText->Caption(), "Autopan Enabled");
  QTest::mouseClick(form->AutoPan, Qt::LeftButton, {}, QPoint(6, 8));
  EXPECT_EQ(form->StatusText->Caption(), "Autopan Disabled");
}

}  // namespace
