#pragma once

#include <QSize>
#include <QString>

class QDialog;

namespace trimora {

// Gives a set-up dialog its caption, the Tahoma font of the set-up windows
// (8 points; the desktop stands in its nearest font where Tahoma is missing)
// and a client area fixed at size, in pixels.
void setUpDialogFrame(QDialog& dialog, const QString& caption, const QSize& size);

}  // namespace trimora
