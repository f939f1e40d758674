#include "DialogFrame.h"

#include <QDialog>
#include <QFont>

#include "Twips.h"

namespace trimora {

void SetUpDialogFrame(QDialog& dialog, const QString& name, const QString& caption, int widthTwips,
                      int heightTwips) {
  dialog.setObjectName(name);
  dialog.setWindowTitle(caption);
  QFont font(QStringLiteral("Tahoma"));
  font.setPointSize(8);
  dialog.setFont(font);
  dialog.setFixedSize(TwipsToPixels(widthTwips), TwipsToPixels(heightTwips));
}

}  // namespace trimora
