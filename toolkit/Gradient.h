#pragma once

#include <QColor>
#include <QRect>

class QPainter;

namespace trimora {

// Fills rect with a two-colour linear gradient: vertically, `from` lies along
// the top row and `to` along the bottom row; horizontally, `from` is the left
// column and `to` the right one. The end points sit on the centres of the
// first and last rows (or columns), so those carry the two colours exactly.
void fillGradient(QPainter& painter, const QRect& rect, const QColor& from, const QColor& to,
                  Qt::Orientation orientation = Qt::Vertical);

}  // namespace trimora
