#include "WorkspaceFixture.h"

using namespace trimora;
using namespace trimora::testing;

namespace {

class StatusLine : public WorkspaceFixture {
 protected:
  void SetUp() override {
    WorkspaceFixture::SetUp();
    Store("Wizard", "0");
    Start();
  }
  int expectedWidth() {
    return form->StatusText->Left() + form->StatusText->Width() + form->StatusText->Left();
  }
};

TEST_F(StatusLine, ShowsTheTextAndHidesThreeSecondsLater) {
  form->Status("First picture", true);
  EXPECT_TRUE(form->StatusBar->Visible());
  EXPECT_EQ(form->StatusText->Caption(), "First picture");
  EXPECT_EQ(form->StatusBar->Width(), expectedWidth());
  EXPECT_EQ(form->StatusText->Left(), 120);
  Tick(2999);
  EXPECT_TRUE(form->StatusBar->Visible());
  Tick(1);
  EXPECT_FALSE(form->StatusBar->Visible());
  EXPECT_EQ(form->StatusText->Caption(), "First picture");  // the caption stays
  EXPECT_FALSE(form->Timer3->Enabled());

  form->Status("", true);  // shows the last text again
  EXPECT_TRUE(form->StatusBar->Visible());
  EXPECT_EQ(form->StatusText->Caption(), "First picture");
  Tick(2000);
  form->Status("two", true);  // a new message starts a fresh three seconds
  Tick(2999);
  EXPECT_TRUE(form->StatusBar->Visible());
  Tick(1);
  EXPECT_FALSE(form->StatusBar->Visible());
}

TEST_F(StatusLine, WidthFollowsTheTextWithoutLimit) {
  form->Status("5%", true);
  const int shortWidth = form->StatusBar->Width();
  const QString deep = "Cropped to " + QString("/very/deep/folder").repeated(20) + "/beach.jpg";
  form->Status(deep, true);
  EXPECT_EQ(form->StatusBar->Width(), expectedWidth());
  EXPECT_GT(form->StatusBar->Width(), shortWidth * 10);
  EXPECT_EQ(form->StatusBar->Top(), 120);
  EXPECT_EQ(form->StatusBar->Height(), 495);
}

}  // namespace
