// The status line: a small bar over the viewport's top-left corner that shows
// one short notice and hides itself three seconds after the last one.
#include "frmMain.h"

namespace trimora {

void frmMain::Status(const QString& text, bool show) {
  if (!text.isEmpty()) StatusText->setCaption(text);  // an empty text keeps the last one
  StatusBar->setWidth(StatusText->Left() + StatusText->Width() + StatusText->Left());
  StatusBar->setVisible(show);
  if (show) StatusBar->raise();
  Timer3->setEnabled(show);  // a new notice starts a fresh three seconds
}

void frmMain::Timer3_Timer() {
  Timer3->setEnabled(false);
  Status(QString(), false);
}

}  // namespace trimora
