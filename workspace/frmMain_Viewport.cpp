// The viewport: scroll bars, the crop frame following the pointer, click to
// crop, auto-pan and the 100 ms poll.
#include <exception>

#include "Events.h"
#include "TextRules.h"
#include "frmMain.h"

namespace trimora {

namespace {
constexpr int kTwipsPerScrollUnit = 5;
}  // namespace

// The part of the viewport that the scroll bars leave uncovered. Centring,
// scrolling and auto-pan all measure against it, so every picture height is
// either centred in it or scrollable to its last row.
int frmMain::VisibleWidth() const {
  return Picture2->Width() - VScroll1->Width();
}
int frmMain::VisibleHeight() const {
  return Picture2->Height() - HScroll1->Height();
}

void frmMain::UpdateScrollBars() {
  if (!Picture1->HasPicture() || !Picture1->Visible()) {
    HScroll1->setEnabled(false);
    VScroll1->setEnabled(false);
    return;
  }
  // At Max the picture's far edge meets the scroll bar.
  auto scrollUnits = [](int overhang) {
    return (overhang + kTwipsPerScrollUnit - 1) / kTwipsPerScrollUnit;
  };
  if (Picture1->Height() > VisibleHeight()) {
    VScroll1->setEnabled(true);
    VScroll1->setMax(scrollUnits(Picture1->Height() - VisibleHeight()));
    Picture1->setTop(-kTwipsPerScrollUnit * VScroll1->Value());
  } else {
    VScroll1->setEnabled(false);
  }
  if (Picture1->Width() > VisibleWidth()) {
    HScroll1->setEnabled(true);
    HScroll1->setMax(scrollUnits(Picture1->Width() - VisibleWidth()));
    Picture1->setLeft(-kTwipsPerScrollUnit * HScroll1->Value());
  } else {
    HScroll1->setEnabled(false);
  }
}

void frmMain::Picture1_MouseMove(int X, int Y) {
  if (!Shape3->Visible()) return;
  int x = nearestInt(X - Shape3->Width() / 2.0);
  int y = nearestInt(Y - Shape3->Height() / 2.0);
  if (x < 0) x = 0;
  if (y < 0) y = 0;
  if (Shape3->Height() + y > Picture1->Height()) y = Picture1->Height() - Shape3->Height();
  if (Shape3->Width() + x > Picture1->Width()) x = Picture1->Width() - Shape3->Width();
  // Assigned only when changed, so a move that keeps the frame costs no repaint.
  if (Shape3->Left() != x) Shape3->setLeft(x);
  if (Shape3->Top() != y) Shape3->setTop(y);
  SetSavedLabel(QStringLiteral("?"), -1);
}

void frmMain::Picture1_MouseDown(Qt::MouseButton button, int, int) {
  if (button == Qt::LeftButton) PictureMouseDown = 1;
}

void frmMain::Picture1_MouseUp(Qt::MouseButton button, int, int) {
  // The picture keeps the mouse from press to release, so a press on the
  // picture and a release anywhere crops.
  if (button != Qt::LeftButton || PictureMouseDown != 1) return;
  try {
    Capture();
  } catch (const std::exception& e) {
    services_.Messages->Show(
        this, QStringLiteral("Error saving picture!\r\n\r\n") + QString::fromLocal8Bit(e.what()));
  }
  PictureMouseDown = 0;
}

void frmMain::AutoPan_MouseUp() {
  Status(AutoPan->Value() == 1 ? QStringLiteral("Autopan Enabled")
                               : QStringLiteral("Autopan Disabled"),
         true);
}

QWidget* frmMain::TopWindow() {
  return services_.Pointer->TopWindow();
}

QWidget* frmMain::SelectedWindow() {
  if (TopWindow() != window()) return nullptr;
  return services_.Pointer->WidgetAt(services_.Pointer->CursorPos());
}

bool frmMain::isMouseUnder() {
  const QPoint pointer = services_.Pointer->CursorPos();
  const int x = nearestInt(pointer.x() * double(kTwipsPerPixel));
  const int y = nearestInt(pointer.y() * double(kTwipsPerPixel));
  // The viewport's screen position, from its real place on the desktop.
  const QPoint origin = Picture2->mapToGlobal(QPoint(0, 0));
  const int L = PixelsToTwips(origin.x());
  const int T = PixelsToTwips(origin.y());
  return L < x && x < L + Picture2->Width() - 200 && T < y && y < T + Picture2->Height() - 100;
}

void frmMain::Timer2_Timer() {
  if (Shape3->Visible() && AutoPan->Value() == 1) {
    QWidget* under = SelectedWindow();
    const bool onFileList = under && (under == File1 || File1->isAncestorOf(under));
    if (!onFileList) DoAutoPan();
  }

  if (ArrowKeysEnabled && isMouseUnder()) {
    if (Picture1->isVisible()) Picture1->setFocus(Qt::OtherFocusReason);
    Label2->setForeColor(255);
  } else if (ArrowKeysEnabled) {
    Label2->setForeColor(0);
  } else {
    Label2->setForeColor(0xFF0000);
  }

  if (HScroll2->Value() != LastZoom) {
    ShowPicture(File1->FileName(), true);
    LastZoom = static_cast<std::int16_t>(HScroll2->Value());
  }
}

void frmMain::DoAutoPan() {
  if (!Shape3->Visible()) return;
  if (!(VisibleWidth() > Shape3->Width() && VisibleHeight() > Shape3->Height())) return;

  // Each pass is painted before the next, so the picture glides; a key
  // released meanwhile waits for the pan to end (see Picture1_KeyUp).
  panning_ = true;
  for (int pass = 0; pass <= 5 && !closing_; ++pass) {
    bool moved = false;
    if (VisibleWidth() <
        Shape3->Left() + Shape3->Width() - kTwipsPerScrollUnit * HScroll1->Value()) {
      if (HScroll1->Max() - 10 > HScroll1->Value())
        moved |= HScroll1->setValue(HScroll1->Value() + 10);
    } else if (Shape3->Left() - kTwipsPerScrollUnit * HScroll1->Value() < 0) {
      if (HScroll1->Max() > 20 && HScroll1->Value() - 10 > 0)
        moved |= HScroll1->setValue(HScroll1->Value() - 10);
    }
    if (VisibleHeight() <
        Shape3->Top() + Shape3->Height() - kTwipsPerScrollUnit * VScroll1->Value()) {
      if (VScroll1->Max() - 10 > VScroll1->Value())
        moved |= VScroll1->setValue(VScroll1->Value() + 10);
    } else if (Shape3->Top() - kTwipsPerScrollUnit * VScroll1->Value() < 0) {
      if (VScroll1->Max() > 20 && VScroll1->Value() - 10 > 0)
        moved |= VScroll1->setValue(VScroll1->Value() - 10);
    }
    if (moved) {
      // The picture moved under a resting pointer: the frame follows the
      // pointer as if it had moved, so panning goes on while the pointer
      // stays at the edge.
      const QPoint local = Picture1->mapFromGlobal(services_.Pointer->CursorPos());
      if (Picture1->rect().contains(local))
        Picture1_MouseMove(PixelsToTwips(local.x()), PixelsToTwips(local.y()));
    }
    DoEvents();
  }
  panning_ = false;
  if (!handlingKeys_ && !loading_) RunQueuedKeys();
}

}  // namespace trimora
