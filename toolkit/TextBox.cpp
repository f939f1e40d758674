#include "TextBox.h"

#include <QKeyEvent>
#include <QSignalBlocker>

namespace trimora {

TextBox::TextBox(QWidget* parent) : TwipsGeometry<QLineEdit>(parent) {
  setFrame(false);
  connect(this, &QLineEdit::textEdited, this, [this] { changed(); });
}

void TextBox::setText(const QString& text) {
  if (text == this->text()) return;
  {
    const QSignalBlocker blocker(this);
    QLineEdit::setText(text);
  }
  changed();
}

void TextBox::changed() {
  if (onChange) onChange();
}

void TextBox::setForeColor(std::uint32_t bgr) {
  SetWidgetColor(*this, QPalette::Text, bgr);
}

void TextBox::setBackColor(std::uint32_t bgr) {
  SetWidgetColor(*this, QPalette::Base, bgr);
}

void TextBox::keyReleaseEvent(QKeyEvent* event) {
  QLineEdit::keyReleaseEvent(event);
  if (!event->isAutoRepeat() && onKeyUp) onKeyUp(event->key());
}

}  // namespace trimora
