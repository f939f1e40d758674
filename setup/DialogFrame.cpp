#include "DialogFrame.h"

#include <QDialog>
#include <QFont>

namespace trimora {

void setUpDialogFrame(QDialog& dialog, const QString& caption, const QSize& size) {
  dialog.setWindowTitle(caption);
  QFont font(QStringLiteral("Tahoma"));
  font.setPointSize(8);
  dialog.setFont(font);
  dialog.setFixedSize(size);
}

}  // namespace trimora
