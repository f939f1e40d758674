#pragma once

#include <QLineEdit>
#include <functional>

#include "TwipsGeometry.h"

namespace trimora {

// A one-line text box. Assigning Text from code runs the change reaction just
// as an edit by the user does (only when the text actually changes), and the
// reaction may assign Text again.
class TextBox : public TwipsGeometry<QLineEdit> {
  Q_OBJECT
 public:
  explicit TextBox(QWidget* parent = nullptr);

  QString Text() const { return text(); }
  void setText(const QString& text);
  // Caret position.
  void setSelStart(int position) { setCursorPosition(position); }
  void setLocked(bool locked) { setReadOnly(locked); }
  void setForeColor(std::uint32_t bgr);
  void setBackColor(std::uint32_t bgr);

  std::function<void()> onChange;
  // Key released (not for auto-repeat), with the Qt key code.
  std::function<void(int key)> onKeyUp;

 protected:
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  void changed();
};

}  // namespace trimora
