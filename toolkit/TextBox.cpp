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
  QPalette p = palette();
  p.setColor(QPalette::Text, ColorFromBGR(bgr));
  setPalette(p);
}

void TextBox::setBackColor(std::uint32_t bgr) {
  QPalette p = palette();
  p.setColor(QPalette::Base, ColorFromBGR(bgr));
  setPalette(p);
}

void TextBox::keyReleaseEvent(QKeyEvent* event) {
  QLineEdit::keyReleaseEvent(event);
  if (!event->isAutoRepeat() && onKeyUp) onKeyUp(event->key());
}

}  // namespace trimora
