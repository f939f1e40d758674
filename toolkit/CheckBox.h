#pragma once

#include <QCheckBox>
#include <functional>

#include "TwipsGeometry.h"

namespace trimora {

// A check box with Value 0 (unchecked), 1 (checked) or 2 (greyed). Click runs
// whenever Value changes, from the user or from code; MouseUp only comes from
// the mouse, after the box has toggled. A keyboard toggle raises Click alone.
class CheckBox : public TwipsGeometry<QCheckBox> {
  Q_OBJECT
 public:
  explicit CheckBox(const QString& caption, QWidget* parent = nullptr);

  int Value() const;
  // Refuses (returns false) values other than 0, 1 and 2.
  bool setValue(int value);
  void setForeColor(std::uint32_t bgr);
  void setBackColor(std::uint32_t bgr);

  std::function<void()> onClick;
  std::function<void(Qt::MouseButton)> onMouseUp;

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace trimora
