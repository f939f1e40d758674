#pragma once

#include <QScrollBar>
#include <functional>

#include "TwipsGeometry.h"

namespace trimora {

// A scroll bar holding 16-bit values. An assignment outside the 16-bit range,
// or a Value outside Min..Max, is refused: the bar keeps its setting and the
// setter returns false. Change runs on every change of Value, from the user or
// from code; Scroll runs while the thumb is dragged.
class ScrollBar : public TwipsGeometry<QScrollBar> {
  Q_OBJECT
 public:
  ScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

  int Min() const { return minimum(); }
  int Max() const { return maximum(); }
  int Value() const { return value(); }
  int SmallChange() const { return singleStep(); }
  int LargeChange() const { return pageStep(); }

  bool setMin(int v);
  bool setMax(int v);
  bool setValue(int v);
  bool setSmallChange(int v);
  bool setLargeChange(int v);

  std::function<void()> onChange;
  std::function<void()> onScroll;
};

}  // namespace trimora
