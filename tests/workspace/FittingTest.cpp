#include <QDir>
#include <QTest>

#include "WorkspaceFixture.h"

using namespace trimora;
using namespace trimora::testing;

namespace {

class Fitting : public WorkspaceFixture {
 protected:
  // One picture in the input folder, shown at start with the given frame.
  void ShowOne(int w, int h, int frameW = 160, int frameH = 128, QColor flat = QColor(),
               const QString& name = "pic.png") {
    WritePicture(in() + "/" + name, w, h, 1, flat);
    Store("Wizard", "0");
    Store("InputFolder", in());
    Store("PWidth", QString::number(frameW));
    Store("PHeight", QString::number(frameH));
    Start();
    form->StatusText->onChange = [this] { statuses << form->StatusText->Caption(); };
  }
  // Changes the zoom as the user does and lets the zoom watcher act.
  void Zoom(int z) {
    form->HScroll2->setValue(z);
    Tick(100);
  }
  QSize canvas() const { return form->Picture1->Picture().size(); }
  QStringList statuses;
};

TEST_F(Fitting, CappedPictureAtHalfZoomHasWhiteBands) {
  ShowOne(3000, 2250, 160, 128, Qt::red);
  Zoom(50);
  ASSERT_EQ(canvas(), QSize(1000, 1000));
  EXPECT_EQ(form->Picture1->Width(), 1000 * 15);
  const QImage& img = form->Picture1->Picture();
  EXPECT_EQ(img.pixelColor(500, 120), QColor(Qt::white));  // band of 125 above
  EXPECT_EQ(img.pixelColor(500, 880), QColor(Qt::white));  // and below
  EXPECT_GT(img.pixelColor(500, 130).red(), 200);
  EXPECT_LT(img.pixelColor(500, 130).green(), 60);
  EXPECT_EQ(statuses.last(), "50%");
}

TEST_F(Fitting, SmallCanvasesAreRaisedToOneHundredSquare) {
  ShowOne(640, 480, 20, 20);
  Zoom(10);
  EXPECT_EQ(canvas(), QSize(100, 100));
}

TEST_F(Fitting, FrameLargerThanThePictureIsHiddenAndParked) {
  ShowOne(150, 100);
  EXPECT_EQ(form->StatusText->Caption(), "Too small to crop");
  EXPECT_FALSE(form->Shape3->Visible());
  EXPECT_EQ(form->Shape3->Left(), form->Shape3->Width() + form->Picture1->Width());
  Zoom(60);
  EXPECT_EQ(statuses.last(), "60% Too small to crop");
}

TEST_F(Fitting, ZoomIsReportedWhenTheFrameFits) {
  ShowOne(2000, 1500);
  EXPECT_TRUE(form->Shape3->Visible());
  Zoom(35);
  EXPECT_EQ(statuses.last(), "35%");
  EXPECT_EQ(canvas(), QSize(700, 525));
  EXPECT_EQ(form->LastZoom, 35);
}

TEST_F(Fitting, MaxCropSizeSearchesUpFromFive) {
  WritePicture(in() + "/a.png", 2000, 1000, 1);
  Store("Wizard", "0");
  Store("InputFolder", in());
  Store("PWidth", "320");
  Store("PHeight", "240");
  Store("Check2", "1");
  Store("LastFilePos", "5");  // nothing shown at start
  Start();
  form->StatusText->onChange = [this] { statuses << form->StatusText->Caption(); };
  form->File1->setListIndex(0);
  EXPECT_EQ(statuses, QStringList({"5% Too small to crop", "15% Too small to crop", "25%"}));
  EXPECT_EQ(form->HScroll2->Value(), 25);
  EXPECT_EQ(canvas(), QSize(500, 250));
  EXPECT_TRUE(form->Shape3->Visible());
  Tick(100);  // the watcher redraws once at the zoom found; the picture stays the same
  EXPECT_EQ(canvas(), QSize(500, 250));
}

TEST_F(Fitting, MaxCropSizeWithAPictureSmallerThanTheFrameEndsAtNativeSize) {
  WritePicture(in() + "/a.png", 150, 100, 1);
  Store("Wizard", "0");
  Store("InputFolder", in());
  Store("Check2", "1");
  Store("LastFilePos", "5");
  Start();
  form->StatusText->onChange = [this] { statuses << form->StatusText->Caption(); };
  form->File1->setListIndex(0);
  ASSERT_EQ(statuses.size(), 10);
  EXPECT_EQ(statuses.first(), "5% Too small to crop");
  EXPECT_EQ(statuses.last(), "95% Too small to crop");
  EXPECT_EQ(form->HScroll2->Value(), 100);
  EXPECT_EQ(canvas(), QSize(150, 100));
  EXPECT_FALSE(form->Shape3->Visible());
}

TEST_F(Fitting, AZoomChangedByTheUserIsASinglePass) {
  ShowOne(600, 400, 320, 240);
  form->Check2->setValue(1);
  statuses.clear();
  Zoom(15);  // the frame does not fit at 15, and no search follows
  EXPECT_EQ(statuses, QStringList({"15% Too small to crop"}));
  EXPECT_EQ(form->HScroll2->Value(), 15);
}

TEST_F(Fitting, SeveralZoomChangesBetweenTicksDrawOnceAtTheLast) {
  ShowOne(1000, 800);
  statuses.clear();
  form->HScroll2->setValue(50);
  form->HScroll2->setValue(40);
  form->HScroll2->setValue(30);
  EXPECT_EQ(canvas(), QSize(1000, 800));
  Tick(100);
  EXPECT_EQ(statuses, QStringList({"30%"}));
  EXPECT_EQ(canvas(), QSize(300, 240));
}

TEST_F(Fitting, SizeBoxesNormaliseAndMarkTheSizeAsTypedByHand) {
  ShowOne(800, 600);
  form->DeviceName->setText("Phone X");
  form->PWidth->setFocus();
  form->PWidth->selectAll();
  QTest::keyClicks(form->PWidth, "12a");
  EXPECT_EQ(form->PWidth->Text(), "12");
  EXPECT_EQ(form->DeviceName->Text(), "Manual");
  EXPECT_EQ(form->Shape3->Width(), 12 * 15);

  form->DeviceName->setText("Phone X");
  QTest::keyClick(form->PHeight, Qt::Key_Right);  // a key that changes nothing still counts
  EXPECT_EQ(form->DeviceName->Text(), "Manual");

  form->PHeight->setText("");
  EXPECT_EQ(form->PHeight->Text(), "0");
  EXPECT_EQ(form->Shape3->Height(), 0);
}

TEST_F(Fitting, QualityStaysBetweenOneAndOneHundred) {
  ShowOne(200, 200);
  const struct {
    const char* typed;
    const char* result;
  } cases[] = {{"250", "100"}, {"0", "1"},  {"", "1"},       {"75", "75"},
               {"x", "1"},     {"-5", "1"}, {"55.5", "55.5"}};
  for (const auto& c : cases) {
    form->Quality->setText(c.typed);
    EXPECT_EQ(form->Quality->Text(), c.result) << c.typed;
  }
}

TEST_F(Fitting, AlreadyCroppedMarkFollowsTheOutputFolder) {
  WritePicture(in() + "/shot.gif", 400, 300, 1);
  WritePicture(in() + "/zother.png", 400, 300, 2);
  WritePicture(out() + "shot.jpg", 10, 10, 3);
  Store("Wizard", "0");
  Store("InputFolder", in());
  Store("OutputFolder", out());
  Start();
  ASSERT_EQ(form->File1->FileName(), "shot.gif");
  EXPECT_TRUE(form->Label10->Visible());
  EXPECT_EQ(form->Label10->Caption(), "Already Cropped");
  // Inside the frame's top-right corner, ten pixels in.
  EXPECT_EQ(form->Label10->Top(), form->Shape3->Top() + 150);
  EXPECT_EQ(form->Label10->Left() + form->Label10->Width() + 150,
            form->Shape3->Left() + form->Shape3->Width());
  form->File1->setListIndex(1);
  EXPECT_FALSE(form->Label10->Visible());
  form->File1->setListIndex(0);
  const QString other = root.path() + "/other/";
  QDir().mkpath(other);
  form->OutputFolder->setText(other);  // a folder without shot.jpg
  EXPECT_FALSE(form->Label10->Visible());
  form->OutputFolder->setText(out());
  EXPECT_TRUE(form->Label10->Visible());
}

// The search's zoom and a kept zoom are drawn once: the zoom watcher's next
// tick finds nothing left to draw.
TEST_F(Fitting, ASearchedOrKeptZoomIsDrawnOnce) {
  WritePictureFolder(in(), 3, 600, 400);
  ShowOne(600, 400, 160, 128);
  for (int option : {2, 1}) {
    form->Check2->setValue(option == 2);
    form->Check1->setValue(option == 1);
    if (option == 1) {
      form->HScroll2->setValue(60);
      Tick(100);
    }
    form->File1->setListIndex(form->File1->ListIndex() == 1 ? 2 : 1);
    ASSERT_LT(form->HScroll2->Value(), 100) << option;
    const qint64 drawn = form->Picture1->Picture().cacheKey();
    Tick(300);
    EXPECT_EQ(form->Picture1->Picture().cacheKey(), drawn) << option;
  }
}

TEST_F(Fitting, AnUnreadableFileShowsNoPictureAndNoMessage) {
  QFile bad(in() + "/bad.jpg");
  ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
  bad.write("this is not a picture");
  bad.close();
  Store("Wizard", "0");
  Store("InputFolder", in());
  Start();
  EXPECT_EQ(form->File1->FileName(), "bad.jpg");
  EXPECT_FALSE(form->Picture1->HasPicture());
  EXPECT_FALSE(form->Shape3->Visible());
  EXPECT_TRUE(fakes.messages.shown.empty());
  EXPECT_TRUE(form->Timer2->Enabled());
}

}  // namespace
