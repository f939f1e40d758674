#include "CheckBox.h"

#include <QMouseEvent>
#include <QSignalBlocker>

namespace trimora {

CheckBox::CheckBox(const QString& caption, QWidget* parent) : TwipsGeometry<QCheckBox>(parent) {
  setText(caption);
  connect(this, &QCheckBox::stateChanged, this, [this] {
    // Greyed is a state code can set; a user's click never cycles back to it.
    if (checkState() != Qt::PartiallyChecked) setTristate(false);
    if (onClick) onClick();
  });
}

int CheckBox::Value() const {
  switch (checkState()) {
    case Qt::Checked:
      return 1;
    case Qt::PartiallyChecked:
      return 2;
    default:
      return 0;
  }
}

bool CheckBox::setValue(int value) {
  if (value < 0 || value > 2) return false;
  if (value == Value()) return true;
  if (value == 2) setTristate(true);
  const Qt::CheckState state = value == 1   ? Qt::Checked
                               : value == 2 ? Qt::PartiallyChecked
                                            : Qt::Unchecked;
  setCheckState(state);  // stateChanged runs Click
  return true;
}

void CheckBox::setForeColor(std::uint32_t bgr) {
  SetWidgetColor(*this, QPalette::WindowText, bgr);
}

void CheckBox::setBackColor(std::uint32_t bgr) {
  SetWidgetColor(*this, QPalette::Window, bgr);
  setBackgroundRole(QPalette::Window);  // a check box fills with the button colour otherwise
  setAutoFillBackground(true);
}

void CheckBox::mouseReleaseEvent(QMouseEvent* event) {
  QCheckBox::mouseReleaseEvent(event);  // toggles first, running Click
  if (onMouseUp) onMouseUp(event->button());
}

}  // namespace trimora
