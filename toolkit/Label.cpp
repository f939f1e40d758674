#include "Label.h"

#include <QMouseEvent>

namespace trimora {

Label::Label(const QString& caption, QWidget* parent) : TwipsGeometry<QLabel>(parent) {
  setText(caption);
  setTextFormat(Qt::PlainText);
}

void Label::setCaption(const QString& caption) {
  const bool changed = caption != text();
  setText(caption);
  if (autoSize_) resize(sizeHint());
  if (changed && onChange) onChange();
}

void Label::setAutoSize(bool on) {
  autoSize_ = on;
  if (on) resize(sizeHint());
}

void Label::setForeColor(std::uint32_t bgr) {
  if (bgr == foreColor_ && testAttribute(Qt::WA_SetPalette)) return;
  foreColor_ = bgr;
  SetWidgetColor(*this, QPalette::WindowText, bgr);
}

void Label::setBackColor(std::uint32_t bgr) {
  SetWidgetColor(*this, QPalette::Window, bgr);
  setAutoFillBackground(true);
}

void Label::setTransparent() {
  setAutoFillBackground(false);
}

void Label::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  // A click is a left press and release over the label.
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && onClick)
    onClick();
  if (onMouseUp) onMouseUp(event->button());
}

}  // namespace trimora
