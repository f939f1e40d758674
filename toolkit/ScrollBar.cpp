#include "ScrollBar.h"

#include <limits>

namespace trimora {

namespace {
bool fits16(int v) {
  return v >= std::numeric_limits<std::int16_t>::min() &&
         v <= std::numeric_limits<std::int16_t>::max();
}
}  // namespace

ScrollBar::ScrollBar(Qt::Orientation orientation, QWidget* parent)
    : TwipsGeometry<QScrollBar>(parent) {
  setOrientation(orientation);
  setRange(0, 32767);
  connect(this, &QScrollBar::valueChanged, this, [this] {
    if (onChange) onChange();
  });
  connect(this, &QScrollBar::sliderMoved, this, [this] {
    if (onScroll) onScroll();
  });
}

bool ScrollBar::setMin(int v) {
  if (!fits16(v)) return false;
  setMinimum(v);
  return true;
}

bool ScrollBar::setMax(int v) {
  if (!fits16(v)) return false;
  setMaximum(v);
  return true;
}

bool ScrollBar::setValue(int v) {
  if (!fits16(v) || v < minimum() || v > maximum()) return false;
  QScrollBar::setValue(v);
  return true;
}

bool ScrollBar::setSmallChange(int v) {
  if (!fits16(v) || v < 1) return false;
  setSingleStep(v);
  return true;
}

bool ScrollBar::setLargeChange(int v) {
  if (!fits16(v) || v < 1) return false;
  setPageStep(v);
  return true;
}

}  // namespace trimora
