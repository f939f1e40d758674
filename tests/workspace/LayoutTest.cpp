#include <gtest/gtest.h>
#include <QRegularExpression>

#include "WindowLayout.h"
#include "WorkspaceFixture.h"

using namespace trimora;
using namespace trimora::testing;

TEST(WindowLayoutRules, FiguresAtTheMinimumSize) {
  const WindowLayout l = ComputeWindowLayout({});
  EXPECT_EQ(l.picture2, QRect(0, 0, 7655, 6900));
  EXPECT_EQ(l.picfrmLeft, 7665);
  EXPECT_EQ(l.picfrmHeight, 6900);
  EXPECT_EQ(l.picfrmTop, 0);  // level with the viewport
  EXPECT_EQ(l.linksTop, 6505);
  EXPECT_EQ(l.label2Top, 6110);
  EXPECT_EQ(l.check2Top, 5795);
  EXPECT_EQ(l.check1Top, 5510);
  EXPECT_EQ(l.zoomTop, 5170);
  EXPECT_EQ(l.file1Height, 2880);
  EXPECT_EQ(l.vScroll1, QRect(7655 - 255, 0, 255, 6900 - 255));
  EXPECT_EQ(l.hScroll1, QRect(0, 6900 - 255, 7655, 255));
}

TEST(WindowLayoutRules, ThickFramesTakeTwoHundredMoreEachWay) {
  LayoutInput thin{14000, 9000, false};
  LayoutInput thick{14000, 9000, true};
  const WindowLayout a = ComputeWindowLayout(thin);
  const WindowLayout b = ComputeWindowLayout(thick);
  EXPECT_EQ(a.picture2.width() - b.picture2.width(), 200);
  EXPECT_EQ(a.picture2.height() - b.picture2.height(), 200);
  EXPECT_EQ(b.picfrmTop, 0);
}

TEST(WindowLayoutRules, TooSmallSnapsBackAndTallerMovesTheBottomStackDown) {
  const WindowLayout small = ComputeWindowLayout({5000, 3000, false});
  EXPECT_EQ(small.formWidth, 10300);
  EXPECT_EQ(small.formHeight, 7300);
  const WindowLayout tall = ComputeWindowLayout({10300, 8300, false});
  const WindowLayout base = ComputeWindowLayout({});
  EXPECT_EQ(tall.linksTop - base.linksTop, 1000);
  EXPECT_EQ(tall.check1Top - base.check1Top, 1000);
  EXPECT_EQ(tall.zoomTop - base.zoomTop, 1000);
  EXPECT_EQ(tall.file1Height - base.file1Height, 1000);
}

namespace {

class WindowGeometry : public WorkspaceFixture {};

TEST_F(WindowGeometry, TheWindowAppliesTheLayoutAndKeepsItsMinimum) {
  Store("Wizard", "0");
  Start();
  form->setFormSize(kMinFormWidth, kMinFormHeight);
  EXPECT_EQ(form->Picture2->Width(), 7655);
  EXPECT_EQ(form->Picture2->Height(), 6900);
  EXPECT_EQ(form->Label18->Top(), 6505);
  EXPECT_EQ(form->AutoPan->Top(), 5510);
  EXPECT_EQ(form->File1->Height(), 2880);
  form->resize(200, 100);
  EXPECT_GE(form->FormWidth(), kMinFormWidth - 15);
  EXPECT_GE(form->FormHeight(), kMinFormHeight - 15);
}

TEST_F(WindowGeometry, SmallPicturesAreCentredLargeOnesScroll) {
  WritePicture(in() + "/small.png", 200, 100, 1);
  WritePicture(in() + "/wide.png", 1900, 300, 2);
  Store("Wizard", "0");
  Store("InputFolder", in());
  Start();
  EXPECT_EQ(form->Picture1->Left(), nearestInt((form->VisibleWidth() - 3000) / 2.0));
  EXPECT_EQ(form->Picture1->Top(), nearestInt((form->VisibleHeight() - 1500) / 2.0));
  EXPECT_FALSE(form->HScroll1->isEnabled());
  form->File1->setListIndex(1);
  EXPECT_TRUE(form->HScroll1->isEnabled());
  EXPECT_EQ(form->Picture1->Left(), 0);
  // At its end the picture's last column meets the vertical scroll bar.
  EXPECT_EQ(form->HScroll1->Max(), (1900 * 15 - form->VScroll1->Left() + 4) / 5);
  form->HScroll1->setValue(100);
  EXPECT_EQ(form->Picture1->Left(), -500);
  form->setFormSize(form->FormWidth() + 1500, form->FormHeight());  // resizing keeps the scroll
  EXPECT_EQ(form->HScroll1->Value(), 100);
  EXPECT_EQ(form->Picture1->Left(), -500);
}

TEST_F(WindowGeometry, TheOptionsPanelFillsTheWindowsHeight) {
  Store("Wizard", "0");
  Start();
  form->show();
  for (int extra : {0, 1500}) {
    form->setFormSize(kMinFormWidth + extra, kMinFormHeight + extra);
    EXPECT_EQ(form->Picfrm->geometry().top(), 0);
    EXPECT_EQ(form->Picfrm->geometry().bottom(), form->Picture2->geometry().bottom());
  }
}

TEST_F(WindowGeometry, ALinkThatNothingCanOpenSaysWhereTheHelpPageIs) {
  Store("Wizard", "0");
  Start();
  fakes.shell.succeed = false;
  form->ShowHelp();
  form->Label18_Click();
  ASSERT_EQ(fakes.messages.shown.size(), 2u);
  for (const ShownMessage& m : fakes.messages.shown) {
    EXPECT_EQ(m.icon, MsgIcon::Information);
    EXPECT_TRUE(m.text.contains(QRegularExpression("/help/help\\.htm$"))) << m.text.toStdString();
  }
}

TEST_F(WindowGeometry, LinksOpenTheHelpPageAndItsSections) {
  Store("Wizard", "0");
  Start();
  form->ShowHelp();
  form->Label19_Click();
  form->Label18_Click();
  ASSERT_EQ(fakes.shell.opened.size(), 3);
  EXPECT_TRUE(fakes.shell.opened[0].isLocalFile());
  EXPECT_TRUE(fakes.shell.opened[0].toLocalFile().endsWith("help/help.htm"));
  EXPECT_TRUE(QFile::exists(fakes.shell.opened[0].toLocalFile()));
  EXPECT_EQ(fakes.shell.opened[1].fragment(), "about");
  EXPECT_EQ(fakes.shell.opened[2].fragment(), "support");
}

}  // namespace
