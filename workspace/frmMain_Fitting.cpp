// Showing a picture at its zoom, the "Max Crop Size" search, the crop frame's
// visibility and the size and quality boxes.
#include <QFileInfo>
#include <algorithm>

#include "GDIPlus.h"
#include "TextRules.h"
#include "frmMain.h"

namespace trimora {

namespace {

constexpr int kMaxCanvasSide = 2000;
constexpr double kMaxFrameTwips = 1e6;  // keeps frame arithmetic far from overflow

int frameTwips(const QString& text) {
  return nearestInt(std::clamp(Val(text), -kMaxFrameTwips, kMaxFrameTwips) * kTwipsPerPixel);
}

}  // namespace

// The fit loop tries zooms until the frame fits. It decides every pass on the
// picture's size alone, from one header read, and draws the picture once, at
// the zoom it ends on; each pass still reports its zoom on the status line and
// tests the frame against the canvas that zoom gives.
//
// No window events run during a load: the picture keeps the keyboard, and a
// key the user releases meanwhile waits in the queue and acts once the new
// picture is shown (see Picture1_KeyUp).
void frmMain::ShowPicture(const QString& fileName, bool IsResize) {
  if (closing_) return;
  Timer2->setEnabled(false);
  loading_ = true;

  if (fileName.isEmpty()) {
    Picture1->clearPicture();
    CurrentFile.clear();
    loading_ = false;
    Timer2->setEnabled(true);
    return;
  }

  VScroll1->setValue(0);
  HScroll1->setValue(0);

  if (!IsResize) {
    if (Check1->Value() == 0) HScroll2->setValue(100);
    if (Check2->Value() == 1) HScroll2->setValue(5);
  }

  QString path;
  QString sizedPath;
  int fileW = 0, fileH = 0;
  QSize request;  // canvas asked for; (-1, -1) is the native size
  for (;;) {
    path = SelectedPath();
    if (path != sizedPath) {
      // One header read per file; a file that cannot be read keeps the sizes
      // of the previous pass.
      GetPictureFileSize(path, fileW, fileH);
      sizedPath = path;
    }
    const int z = HScroll2->Value();
    if (z == HScroll2->Max()) {
      request = QSize(-1, -1);
    } else {
      int w = std::min(fileW, kMaxCanvasSide);
      int h = std::min(fileH, kMaxCanvasSide);
      w = nearestInt(z / 100.0 * w);
      h = nearestInt(z / 100.0 * h);
      if (w < 100 || h < 100) w = h = 100;
      request = QSize(w, h);
    }
    // The canvas this pass would show; an unreadable picture shows nothing.
    const bool readable = fileW > 0 && fileH > 0;
    const QSize canvas = readable ? CanvasSizeFor(QSize(fileW, fileH), request.width(),
                                                  request.height(), kMaxCanvasSide)
                                  : QSize(0, 0);
    Picture1->resize(canvas);

    if (Shape3->Width() < Picture1->Width() && Shape3->Height() < Picture1->Height()) {
      if (z < 100) Status(DecimalText(z) + QLatin1Char('%'), true);
    } else {
      Status((z != 100 ? DecimalText(z) + QStringLiteral("% ") : QString()) +
                 QStringLiteral("Too small to crop"),
             true);
    }
    PHeight_Change();

    if (IsResize) break;
    if (Shape3->Width() + 1 <= Picture1->Width() && Shape3->Height() + 1 <= Picture1->Height())
      break;
    if (Check2->Value() == 1 && HScroll2->Value() <= 90) {
      HScroll2->setValue(HScroll2->Value() + 10);
      continue;
    }
    if (Check2->Value() == 1) {
      HScroll2->setValue(100);
      request = QSize(-1, -1);
    }
    break;
  }

  int w = request.width(), h = request.height();
  QString whyNot;
  Picture1->setPicture(LoadDisplayPicture(path, w, h, true, &whyNot));
  // A listed picture that cannot be shown says why, in place of the pass's size notice.
  if (!whyNot.isEmpty()) Status(whyNot, true);

  // The zoom just drawn: the zoom watcher has nothing left to draw.
  LastZoom = static_cast<std::int16_t>(HScroll2->Value());

  DoAdjustments();
  PlaceFrameAtPointer();
  loading_ = false;
  if (!closing_) Timer2->setEnabled(true);
  if (!handlingKeys_) RunQueuedKeys();
}

// After a new picture or zoom the frame goes where the pointer would put it,
// or, with the pointer outside the view, as near its old place as the canvas
// allows: the keyboard alone then always crops a frame that is on the picture.
void frmMain::PlaceFrameAtPointer() {
  if (!Shape3->Visible()) return;
  const QPoint pointer = services_.Pointer->CursorPos();
  const QPoint inView = Picture2->mapFromGlobal(pointer);
  const bool overView = inView.x() >= 0 && inView.y() >= 0 &&
                        PixelsToTwips(inView.x()) < VisibleWidth() &&
                        PixelsToTwips(inView.y()) < VisibleHeight();
  if (overView) {
    const QPoint local = Picture1->mapFromGlobal(pointer);
    Picture1_MouseMove(PixelsToTwips(local.x()), PixelsToTwips(local.y()));
    return;
  }
  Shape3->setLeft(std::clamp(Shape3->Left(), 0, Picture1->Width() - Shape3->Width()));
  Shape3->setTop(std::clamp(Shape3->Top(), 0, Picture1->Height() - Shape3->Height()));
  SetSavedLabel(QStringLiteral("?"), -1);
}

void frmMain::DoAdjustments() {
  Picture1->setVisible(File1->ListIndex() >= 0 || Picture1->HasPicture());
  CentrePicture();
  UpdateFrameVisibility();
  UpdateCroppedMark();
  UpdateScrollBars();
}

void frmMain::UpdateCroppedMark() {
  if (File1->ListIndex() < 0) return;
  if (QFileInfo::exists(OutputNameFor(File1->FileName())))
    SetSavedLabel(QStringLiteral("Already Cropped"), 1);
  else if (Label10->Visible())
    SetSavedLabel(QString(), 0);
}

void frmMain::UpdateFrameVisibility() {
  if (File1->ListIndex() < 0) return;
  if (Shape3->Width() < Picture1->Width() && Shape3->Height() < Picture1->Height()) {
    Shape3->setVisible(true);
  } else {
    Shape3->setVisible(false);
    Shape3->setLeft(Shape3->Width() + Picture1->Width());  // parked right of the picture
  }
}

void frmMain::SetSavedLabel(const QString& caption, int show) {
  if (caption != QLatin1String("?") && caption != Label10->Caption()) Label10->setCaption(caption);
  if (show == 1) Label10->show();
  if (show == 0) Label10->hide();
  if (Label10->Visible()) {
    // Ten pixels in from the frame's top and right edges.
    Label10->setTop(Shape3->Top() + 150);
    Label10->setLeft(Shape3->Left() + Shape3->Width() - (Label10->Width() + 150));
    Label10->raise();
  }
}

void frmMain::PWidth_Change() {
  PWidth->setText(DecimalText(Val(PWidth->Text())));
  PWidth->setSelStart(PWidth->Text().size());
  PHeight_Change();
}

void frmMain::PHeight_Change() {
  PHeight->setText(DecimalText(Val(PHeight->Text())));
  PHeight->setSelStart(PHeight->Text().size());
  Shape3->setWidth(frameTwips(PWidth->Text()));  // a negative size is refused
  Shape3->setHeight(frameTwips(PHeight->Text()));
  UpdateFrameVisibility();
}

void frmMain::Quality_Change() {
  Quality->setText(DecimalText(Val(Quality->Text())));
  Quality->setSelStart(Quality->Text().size());
  if (Val(Quality->Text()) > 100) Quality->setText(QStringLiteral("100"));
  if (Val(Quality->Text()) < 1) Quality->setText(QStringLiteral("1"));
}

QString frmMain::OutputNameFor(const QString& entryName) const {
  // The extension after the last dot becomes "jpg": beach.png -> beach.jpg,
  // photo.jpeg -> photo.jpg.
  const qsizetype dot = entryName.lastIndexOf(QLatin1Char('.'));
  const QString base = dot > 0 ? entryName.left(dot) : entryName;
  return OutputFolder->Text() + base + QStringLiteral(".jpg");
}

}  // namespace trimora
