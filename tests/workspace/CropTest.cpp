#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QMouseEvent>
#include <QTest>

#include "WorkspaceFixture.h"
#include "basSettings.h"

using namespace trimora;
using namespace trimora::testing;

namespace {

class Crop : public WorkspaceFixture {
 protected:
  void StartWith(const QStringList& names, int w = 800, int h = 600, int frameW = 320,
                 int frameH = 240) {
    int seed = 0;
    for (const QString& name : names) WritePicture(in() + "/" + name, w, h, ++seed);
    Store("Wizard", "0");
    Store("InputFolder", in());
    Store("OutputFolder", out());
    Store("PWidth", QString::number(frameW));
    Store("PHeight", QString::number(frameH));
    Store("Quality", "100");
    Start();
    form->show();
    form->StatusText->onChange = [this] { statuses << form->StatusText->Caption(); };
  }
  void ClickAt(int x, int y) {
    PointAt(x, y);
    QTest::mouseClick(form->Picture1, Qt::LeftButton, {}, QPoint(x, y));
  }
  void Key(Qt::Key key) { QTest::keyClick(form->Picture1, key); }
  QStringList outputs() const { return QDir(out()).entryList(QDir::Files, QDir::Name); }
  QStringList statuses;
};

double meanAbsoluteError(const QImage& a, const QImage& b) {
  double sum = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
             std::abs(qBlue(p) - qBlue(q));
    }
  return sum / (3.0 * a.width() * a.height());
}

TEST_F(Crop, AClickWritesTheFramedRectangleAtExactlyTheCropSize) {
  StartWith({"beach.png"});
  ClickAt(400, 300);
  ASSERT_EQ(outputs(), QStringList({"beach.jpg"}));
  const QRect frame(form->Shape3->Left() / 15, form->Shape3->Top() / 15, 320, 240);
  EXPECT_EQ(frame.topLeft(), QPoint(240, 180));
  const QImage expected = form->Picture1->Picture().copy(frame);
  EXPECT_EQ(form->Picture5.convertToFormat(QImage::Format_RGB32), expected);  // exact cut
  QImageReader reader(out() + "beach.jpg");
  EXPECT_EQ(reader.format(), "jpeg");
  const QImage written = reader.read().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(written.size(), QSize(320, 240));
  EXPECT_LT(meanAbsoluteError(written, expected), 4.0);
  EXPECT_EQ(form->Label10->Caption(), "Cropped");
  EXPECT_TRUE(form->Label10->Visible());
  EXPECT_EQ(form->StatusText->Caption(), "Cropped to " + out() + "beach.jpg");
  EXPECT_TRUE(fakes.messages.shown.empty());
}

TEST_F(Crop, TheSameRectangleTwiceGetsTheNextName) {
  StartWith({"beach.png"});
  ClickAt(400, 300);
  Key(Qt::Key_Space);
  EXPECT_EQ(outputs(), QStringList({"beach.jpg", "beach1.jpg"}));
  EXPECT_EQ(form->StatusText->Caption(), "Cropped to " + out() + "beach1.jpg");
  const QByteArray first = [&] {
    QFile f(out() + "beach.jpg");
    f.open(QIODevice::ReadOnly);
    return f.readAll();
  }();
  Key(Qt::Key_Space);
  EXPECT_EQ(outputs().size(), 3);
  QFile again(out() + "beach.jpg");
  ASSERT_TRUE(again.open(QIODevice::ReadOnly));
  EXPECT_EQ(again.readAll(), first);  // never overwritten
}

// Only a frame that leaves the canvas is refused; one flush with its edges is
// cropped, wherever the pointer put it (row 120 puts a 240-row frame at 0).
TEST_F(Crop, TheFrameMustLieWhollyOnThePicture) {
  StartWith({"beach.png"});
  const int w = form->Picture1->Width() - form->Shape3->Width();
  const int h = form->Picture1->Height() - form->Shape3->Height();
  const struct {
    int left, top;
    bool cropped;
  } cases[] = {{0, 0, true},    {w, h, true},       {0, -15, false},
               {-15, 0, false}, {w + 15, 0, false}, {0, h + 15, false}};
  int written = 0;
  for (const auto& c : cases) {
    fakes.messages.shown.clear();
    form->Shape3->setLeft(c.left);
    form->Shape3->setTop(c.top);
    form->Capture();
    written += c.cropped;
    EXPECT_EQ(outputs().size(), written) << c.left << "," << c.top;
    if (!c.cropped) {
      ASSERT_EQ(fakes.messages.shown.size(), 1u);
      EXPECT_EQ(fakes.messages.shown[0].icon, MsgIcon::Information);
      EXPECT_TRUE(fakes.messages.shown[0].text.startsWith("The loaded picture is smaller"));
    }
  }
  PointAt(400, 120);
  ASSERT_EQ(form->Shape3->Top(), 0);
  Key(Qt::Key_Space);
  EXPECT_EQ(outputs().size(), written + 1);
}

// After a new picture or zoom the frame lies on the canvas, placed by the
// pointer where it is over the view and kept on the canvas where it is not.
TEST_F(Crop, TheFrameIsPlacedOnEveryNewPictureAndZoom) {
  WritePicture(in() + "/a.png", 1200, 900, 1);
  WritePicture(in() + "/b.png", 500, 400, 2);
  WritePicture(in() + "/c.png", 1200, 900, 3);
  StartWith({}, 0, 0, 320, 240);
  auto onCanvas = [&] {
    return form->Shape3->Visible() && form->Shape3->Left() >= 0 && form->Shape3->Top() >= 0 &&
           form->Shape3->Left() + form->Shape3->Width() <= form->Picture1->Width() &&
           form->Shape3->Top() + form->Shape3->Height() <= form->Picture1->Height();
  };
  PointAt(450, 350);  // over the view, near a's bottom-right on screen
  const QPoint pointer = fakes.pointer.pos;
  Key(Qt::Key_Right);  // b is smaller and centred: the pointer is off it
  EXPECT_TRUE(onCanvas());
  Key(Qt::Key_Space);
  Key(Qt::Key_Right);
  fakes.pointer.pos = pointer;
  Key(Qt::Key_Down);  // c at 95 %
  EXPECT_TRUE(onCanvas());
  const QPoint local = form->Picture1->mapFromGlobal(pointer);
  EXPECT_EQ(form->Shape3->Left(), (local.x() - 160) * 15);  // where the pointer puts it
  Key(Qt::Key_Space);
  fakes.pointer.pos = QPoint(-5000, -5000);  // outside the view
  PointAt(1100, 800);
  fakes.pointer.pos = QPoint(-5000, -5000);
  Key(Qt::Key_Left);
  Key(Qt::Key_Left);
  Key(Qt::Key_Down);
  EXPECT_TRUE(onCanvas());
  Key(Qt::Key_Space);
  EXPECT_EQ(outputs(), QStringList({"a.jpg", "b.jpg", "c.jpg"}));
  EXPECT_TRUE(fakes.messages.shown.empty()) << fakes.messages.texts().join("|").toStdString();
}

TEST_F(Crop, SizeAndQualityAndFolderAreCheckedFirst) {
  StartWith({"beach.png"});
  PointAt(400, 300);
  form->PWidth->setText("19");
  form->Capture();
  form->PWidth->setText("20");
  form->Quality->setText("100");
  form->OutputFolder->setText("/");
  form->Capture();  // "/" is one character: no folder
  EXPECT_EQ(fakes.messages.texts(),
            QStringList({"Please enter Size from 20 plus only!", "Please specify output folder!"}));
  EXPECT_EQ(fakes.messages.shown[1].icon, MsgIcon::Stop);
  form->OutputFolder->setText(out());
  form->Capture();
  EXPECT_EQ(outputs(), QStringList({"beach.jpg"}));
  EXPECT_EQ(QImageReader(out() + "beach.jpg").size(), QSize(20, 240));
}

TEST_F(Crop, AFrameLargerThanThePictureGetsOneOfTwoMessages) {
  StartWith({"small.png"}, 300, 200, 320, 240);
  Key(Qt::Key_Space);
  Key(Qt::Key_Down);  // zoom 95
  Tick(100);
  Key(Qt::Key_Space);
  ASSERT_EQ(fakes.messages.shown.size(), 2u);
  EXPECT_TRUE(fakes.messages.shown[0].text.startsWith("The loaded picture is smaller than"));
  EXPECT_TRUE(fakes.messages.shown[1].text.startsWith("The loaded picture is too small than"));
  EXPECT_TRUE(outputs().isEmpty());
}

TEST_F(Crop, NothingShownNothingSaid) {
  Store("Wizard", "0");
  Start();
  QTest::keyClick(form->Picture1, Qt::Key_Space);
  form->Capture();
  EXPECT_TRUE(fakes.messages.shown.empty());
}

TEST_F(Crop, ArrowsStepThroughTheListAndTheZoom) {
  StartWith({"a.png", "b.png", "c.png"}, 400, 300, 100, 100);
  Key(Qt::Key_Left);
  EXPECT_EQ(statuses.last(), "First picture");
  Key(Qt::Key_Right);
  Key(Qt::Key_Right);
  EXPECT_EQ(form->File1->FileName(), "c.png");
  EXPECT_EQ(form->LastFilePos->Text(), "2");
  Key(Qt::Key_Right);
  EXPECT_EQ(statuses.last(), "Last picture");

  Key(Qt::Key_Up);  // from 100 it stays at 100
  EXPECT_EQ(form->HScroll2->Value(), 100);
  EXPECT_EQ(statuses.last(), "100%");
  QList<int> zooms;
  for (int i = 0; i < 20; ++i) {
    Key(Qt::Key_Down);
    zooms << form->HScroll2->Value();
  }
  EXPECT_EQ(zooms.mid(0, 3), QList<int>({95, 90, 85}));
  EXPECT_EQ(zooms.mid(17), QList<int>({10, 5, 5}));
  EXPECT_EQ(statuses.last(), "5%");
  Key(Qt::Key_Up);
  EXPECT_EQ(form->HScroll2->Value(), 15);
  form->HScroll2->setValue(95);
  Key(Qt::Key_Up);
  EXPECT_EQ(form->HScroll2->Value(), 100);
  Tick(100);
  EXPECT_EQ(form->LastZoom, 100);
}

TEST_F(Crop, ThePictureKeepsTheKeyboardFromPictureToPicture) {
  StartWith({"a.png", "b.png", "c.png"}, 800, 600, 320, 240);
  QApplication::setActiveWindow(form.get());
  ClickAt(400, 300);  // the click crops and gives the picture the keyboard
  ASSERT_TRUE(form->Picture1->hasFocus());
  for (const char* name : {"b.png", "c.png"}) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_EQ(form->File1->FileName(), name);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
  }
  EXPECT_EQ(form->Check2->Value(), 0);  // Space never reached "Max Crop Size"
  EXPECT_EQ(outputs(), QStringList({"a.jpg", "b.jpg", "c.jpg"}));
}

// Keys the user releases while a picture loads reach the picture, not the
// control next to it, and act in order once the picture is shown.
TEST_F(Crop, KeysReleasedDuringALoadActInOrderAfterIt) {
  StartWith({"a.png", "b.png", "c.png", "d.png"}, 800, 600, 320, 240);
  QApplication::setActiveWindow(form.get());
  form->Check1->setValue(1);  // a kept zoom reports itself during every load
  form->HScroll2->setValue(50);
  Tick(100);
  ClickAt(200, 150);
  ASSERT_TRUE(form->Picture1->hasFocus());
  bool typed = false;
  form->StatusText->onChange = [&] {
    if (typed || form->File1->FileName() != "b.png") return;
    typed = true;  // as the window system delivers them: to the keyboard's owner
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
  };
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
  ASSERT_TRUE(typed);
  EXPECT_EQ(form->Check2->Value(), 0);
  EXPECT_EQ(form->File1->FileName(), "c.png");
  EXPECT_EQ(outputs(), QStringList({"a.jpg", "b.jpg", "c.jpg"}));
  EXPECT_TRUE(form->Picture1->hasFocus());
}

TEST_F(Crop, RightArrowWithNothingSelectedShowsTheFirstPicture) {
  WritePictureFolder(in(), 3);
  Store("Wizard", "0");
  Store("InputFolder", in());
  Store("LastFilePos", "9");
  Start();
  ASSERT_EQ(form->File1->ListIndex(), -1);
  QTest::keyClick(form->Picture1, Qt::Key_Right);
  EXPECT_EQ(form->File1->ListIndex(), 0);
  EXPECT_TRUE(form->Picture1->HasPicture());
}

TEST_F(Crop, TheTwoCropOptionsClearEachOtherWithTheirMessages) {
  StartWith({"a.png"});
  form->Check2->setValue(1);
  EXPECT_EQ(statuses.last(), "Max Zoom Out Enabled");
  statuses.clear();
  QTest::mouseClick(form->Check1, Qt::LeftButton, {}, QPoint(6, 8));
  EXPECT_EQ(statuses, QStringList({"Resize lock Enabled", "Max Zoom Out Disabled"}));
  EXPECT_EQ(form->Check2->Value(), 0);

  statuses.clear();
  QTest::mouseClick(form->Check2, Qt::LeftButton, {}, QPoint(6, 8));
  EXPECT_EQ(statuses, QStringList({"Max Zoom Out Enabled"}));  // Resize Lock cleared silently
  EXPECT_EQ(form->Check1->Value(), 0);

  statuses.clear();
  form->Check1->setFocus();
  QTest::keyClick(form->Check1, Qt::Key_Space);  // from the keyboard: no message
  EXPECT_EQ(form->Check1->Value(), 1);
  EXPECT_EQ(form->Check2->Value(), 1);
  EXPECT_TRUE(statuses.isEmpty());
}

TEST_F(Crop, ArrowKeysModeIsToggledAndRemembered) {
  StartWith({"a.png"});
  form->Label2_Click();
  EXPECT_EQ(form->Label2->Caption(), "Arrow Keys Enabled");
  EXPECT_EQ(statuses.last(), "Arrow Keys Enabled");
  EXPECT_EQ(Stored("ArrowKeys"), "1");
  form->Label2_Click();
  EXPECT_EQ(form->Label2->Caption(), "Arrow Keys Disabled");
  EXPECT_EQ(Stored("ArrowKeys"), "0");
}

TEST_F(Crop, OutputNamesReplaceTheWholeExtension) {
  StartWith({"IMG_1.JPG", "my pic ü 'x'.png", "a.b.gif"}, 400, 300, 100, 100);
  ASSERT_EQ(form->File1->ListCount(), 3);
  for (int i = 0; i < 3; ++i) {
    form->File1->setListIndex(i);
    PointAt(200, 150);
    Key(Qt::Key_Space);
  }
  EXPECT_EQ(outputs(), QStringList({"IMG_1.jpg", "a.b.jpg", "my pic ü 'x'.jpg"}));
  form->File1->setListIndex(1);
  EXPECT_EQ(form->Label10->Caption(), "Already Cropped");
  EXPECT_EQ(form->OutputNameFor("photo.jpeg"), out() + "photo.jpg");
  EXPECT_EQ(form->OutputNameFor("beach.png"), out() + "beach.jpg");
}

TEST_F(Crop, CancellingAFolderChooserKeepsTheFolder) {
  StartWith({"a.png"});
  QDir().mkpath(out());
  fakes.folders.answers = {QString(), QString()};
  form->Label5_Click();
  form->Label7_Click();
  EXPECT_EQ(form->OutputFolder->Text(), out());
  EXPECT_EQ(form->InputFolder->Text(), in());
  EXPECT_EQ(fakes.folders.titles, QStringList({"Locate Output Folder", "Locate Input Folder"}));
  EXPECT_EQ(fakes.folders.startFolders, QStringList({out(), in()}));
  EXPECT_TRUE(form->Picture1->HasPicture());
}

TEST_F(Crop, ChoosingFolders) {
  StartWith({"a.png"});
  const QString other = root.path() + "/other";
  const QString none = root.path() + "/none";
  QDir().mkpath(other);
  QDir().mkpath(none);
  WritePicture(other + "/z.png", 300, 200, 9);
  fakes.folders.answers = {other, other, none};
  form->Label5_Click();
  EXPECT_EQ(form->OutputFolder->Text(), other + "/");
  form->Label7_Click();
  EXPECT_EQ(form->InputFolder->Text(), other);
  EXPECT_EQ(form->File1->FileName(), "z.png");
  EXPECT_EQ(form->LastFilePos->Text(), "0");
  form->Label7_Click();  // a folder without pictures
  EXPECT_EQ(form->File1->ListCount(), 0);
  EXPECT_FALSE(form->Picture1->HasPicture());
  EXPECT_EQ(form->LastFilePos->Text(), "");
  EXPECT_TRUE(fakes.messages.shown.empty());
}

}  // namespace
