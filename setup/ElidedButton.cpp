#include "ElidedButton.h"

#include <QEvent>
#include <QFontMetrics>
#include <QStyle>
#include <QStyleOptionButton>

namespace trimora {

ElidedButton::ElidedButton(const QString& text, QWidget* parent) : QPushButton(parent) {
  setFullText(text);
}

void ElidedButton::setFullText(const QString& text) {
  mFullText = text;
  showText();
}

void ElidedButton::resizeEvent(QResizeEvent* event) {
  QPushButton::resizeEvent(event);
  showText();
}

void ElidedButton::changeEvent(QEvent* event) {
  QPushButton::changeEvent(event);
  if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) showText();
}

void ElidedButton::showText() {
  QStyleOptionButton option;
  initStyleOption(&option);
  const int margin = style()->pixelMetric(QStyle::PM_ButtonMargin, &option, this);
  const int room = std::max(0, width() - 2 * margin - 8);
  const QString shown = fontMetrics().elidedText(mFullText, Qt::ElideMiddle, room);
  QString escaped = shown;
  escaped.replace(QLatin1Char('&'), QStringLiteral("&&"));
  setText(escaped);
  setToolTip(shown == mFullText ? QString() : mFullText);
}

}  // namespace trimora
