#include "Gradiant.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>

#include "PictureBox.h"
#include "TextRules.h"
#include "Twips.h"

namespace trimora {

void GradientRect(QPainter& dc, const QRect& rect, std::uint32_t colour1, std::uint32_t colour2,
                  bool vertical) {
  if (rect.isEmpty()) return;
  // The end points sit on the centres of the first and last pixel rows (or
  // columns), so those rows carry the two colours exactly.
  const QRectF r(rect);
  const QPointF start =
      vertical ? QPointF(r.left(), r.top() + 0.5) : QPointF(r.left() + 0.5, r.top());
  const QPointF stop =
      vertical ? QPointF(r.left(), r.bottom() - 0.5) : QPointF(r.right() - 0.5, r.top());
  QLinearGradient fill(start, stop);
  fill.setColorAt(0.0, ColorFromBGR(colour1));
  fill.setColorAt(1.0, ColorFromBGR(colour2));
  fill.setSpread(QGradient::PadSpread);
  dc.fillRect(rect, fill);
}

void PaintGradient(PictureBox& target, std::uint32_t colour1, std::uint32_t colour2) {
  const int right = nearestInt(target.Width() / double(kTwipsPerPixel));
  const int bottom = nearestInt(target.Height() / double(kTwipsPerPixel));
  if (right <= 0 || bottom <= 0) return;
  QImage surface(right, bottom, QImage::Format_RGB32);
  surface.fill(ColorFromBGR(colour1));
  {
    QPainter dc(&surface);
    GradientRect(dc, QRect(0, 0, right, bottom), colour1, colour2, true);
  }
  target.setPicture(std::move(surface));
}

}  // namespace trimora
