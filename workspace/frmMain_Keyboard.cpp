// Keys on the picture, zoom steps, stepping through the list, the arrow keys
// mode and the two crop options that exclude each other.
#include "basSettings.h"
#include "frmMain.h"

namespace trimora {

// Keys act in the order they were released. A key released while a picture
// loads or the view pans waits until that is done; a key that starts a load
// (Right, Left, a zoom) lets the keys behind it wait for its picture.
void frmMain::Picture1_KeyUp(int key) {
  if (closing_) return;
  pendingKeys_.push_back(key);
  if (loading_ || panning_ || handlingKeys_) return;
  RunQueuedKeys();
}

void frmMain::RunQueuedKeys() {
  if (handlingKeys_) return;
  handlingKeys_ = true;
  while (!pendingKeys_.empty() && !closing_) {
    const int key = pendingKeys_.front();
    pendingKeys_.pop_front();
    ActOnKey(key);
    // A zoom key changes the zoom only; its picture is drawn here, before the
    // next key, rather than by the next tick of the zoom watcher.
    if (HScroll2->Value() != LastZoom && !File1->FileName().isEmpty())
      ShowPicture(File1->FileName(), true);
  }
  handlingKeys_ = false;
}

void frmMain::ActOnKey(int key) {
  switch (key) {
    case Qt::Key_Left:
      PreviousPicture();
      break;
    case Qt::Key_Up:
      ZoomOut();
      break;
    case Qt::Key_Right:
      NextPicture();
      break;
    case Qt::Key_Down:
      Zoomin();
      break;
    case Qt::Key_Space:
      Capture();
      break;
    default:
      break;
  }
}

void frmMain::ZoomOut() {
  const int value = HScroll2->Value();
  const int max = HScroll2->Max();
  HScroll2->setValue(value > max - 10 ? max : value + 10);
  if (HScroll2->Value() > max - 10) Status(QStringLiteral("100%"), true);
}

void frmMain::Zoomin() {
  const int value = HScroll2->Value();
  const int step = HScroll2->LargeChange();
  HScroll2->setValue(value <= step ? HScroll2->Min() : value - step);
  if (HScroll2->Value() <= 10) Status(QStringLiteral("5%"), true);
}

void frmMain::PreviousPicture() {
  if (File1->ListIndex() >= 1)
    File1->setListIndex(File1->ListIndex() - 1);
  else
    Status(QStringLiteral("First picture"), true);
}

void frmMain::NextPicture() {
  if (File1->ListIndex() < File1->ListCount() - 1)
    File1->setListIndex(File1->ListIndex() + 1);
  else
    Status(QStringLiteral("Last picture"), true);
}

void frmMain::Label2_Click() {
  ArrowKeysEnabled = !ArrowKeysEnabled;
  const QString text = ArrowKeysEnabled ? QStringLiteral("Arrow Keys Enabled")
                                        : QStringLiteral("Arrow Keys Disabled");
  Label2->setCaption(text);
  Status(text, true);
  SaveSetting(kAppName, kSettingsSection, QStringLiteral("ArrowKeys"),
              ArrowKeysEnabled ? QStringLiteral("1") : QStringLiteral("0"));
}

void frmMain::Check1_MouseUp() {
  if (Check1->Value() == 1) {
    Status(QStringLiteral("Resize lock Enabled"), true);
    Check2->setValue(0);
  } else {
    Status(QStringLiteral("Resize lock Disabled"), true);
  }
}

void frmMain::Check2_Click() {
  if (Check2->Value() == 1) {
    Status(QStringLiteral("Max Zoom Out Enabled"), true);
    Check1->setValue(0);  // silent: "Resize Lock" reacts to the mouse only
  } else {
    Status(QStringLiteral("Max Zoom Out Disabled"), true);
  }
}

}  // namespace trimora
