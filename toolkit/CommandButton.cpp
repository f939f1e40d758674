#include "CommandButton.h"

#include <QEvent>
#include <QFontMetrics>
#include <QStyle>
#include <QStyleOptionButton>

namespace trimora {

CommandButton::CommandButton(const QString& caption, QWidget* parent)
    : TwipsGeometry<QPushButton>(parent) {
  connect(this, &QPushButton::clicked, this, [this] {
    if (onClick) onClick();
  });
  setCaption(caption);
}

void CommandButton::setCaption(const QString& caption) {
  caption_ = caption;
  showCaption();
}

void CommandButton::resizeEvent(QResizeEvent* event) {
  QPushButton::resizeEvent(event);
  showCaption();
}

void CommandButton::changeEvent(QEvent* event) {
  QPushButton::changeEvent(event);
  if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) showCaption();
}

void CommandButton::showCaption() {
  QStyleOptionButton option;
  initStyleOption(&option);
  const int margin = style()->pixelMetric(QStyle::PM_ButtonMargin, &option, this);
  const int room = std::max(0, width() - 2 * margin - 8);
  const QString shown = fontMetrics().elidedText(caption_, Qt::ElideMiddle, room);
  QString escaped = shown;
  escaped.replace(QLatin1Char('&'), QStringLiteral("&&"));
  setText(escaped);
  setToolTip(shown == caption_ ? QString() : caption_);
}

}  // namespace trimora
