#include "GradientBar.h"

#include <QLinearGradient>
#include <QPainter>

namespace trimora {

GradientBar::GradientBar(QWidget* parent) : TwipsGeometry<QWidget>(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void GradientBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QLinearGradient shade(0, 0, 0, height());
  shade.setColorAt(0.0, QColor(250, 250, 250));
  shade.setColorAt(0.5, QColor(228, 228, 228));
  shade.setColorAt(1.0, QColor(206, 206, 206));
  painter.fillRect(rect(), shade);
  painter.setPen(QColor(190, 190, 190));
  painter.drawLine(0, height() - 1, width(), height() - 1);
}

}  // namespace trimora
