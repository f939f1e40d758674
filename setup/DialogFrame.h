#pragma once

#include <QString>

class QDialog;

namespace trimora {

// Names a set-up dialog, gives it its caption and the Tahoma font of the set-up
// windows, and fixes its client area to the given size in twips.
void SetUpDialogFrame(QDialog& dialog, const QString& name, const QString& caption, int widthTwips,
                      int heightTwips);

}  // namespace trimora
