#pragma once

#include <QWidget>

#include "TwipsGeometry.h"

namespace trimora {

// One of the light-grey bars that lie behind the rows of the options panel: a
// soft vertical shading, stretched to the bar's size.
class GradientBar : public TwipsGeometry<QWidget> {
  Q_OBJECT
 public:
  explicit GradientBar(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace trimora
