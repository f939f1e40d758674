#include "Gradient.h"

#include <QLinearGradient>
#include <QPainter>

namespace trimora {

void fillGradient(QPainter& painter, const QRect& rect, const QColor& from, const QColor& to,
                  Qt::Orientation orientation) {
  if (rect.isEmpty()) return;
  const QRectF r(rect);
  const bool vertical = orientation == Qt::Vertical;
  const QPointF start =
      vertical ? QPointF(r.left(), r.top() + 0.5) : QPointF(r.left() + 0.5, r.top());
  const QPointF stop =
      vertical ? QPointF(r.left(), r.bottom() - 0.5) : QPointF(r.right() - 0.5, r.top());
  QLinearGradient fill(start, stop);
  fill.setColorAt(0.0, from);
  fill.setColorAt(1.0, to);
  fill.setSpread(QGradient::PadSpread);
  painter.fillRect(rect, fill);
}

}  // namespace trimora
