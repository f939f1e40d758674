#include "WizardArtwork.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace trimora {

namespace {

// A landscape photo with the corner marks of a crop frame over it.
void drawMark(QPainter& p, const QRectF& box) {
  QLinearGradient tile(box.topLeft(), box.bottomLeft());
  tile.setColorAt(0.0, QColor(240, 175, 170));
  tile.setColorAt(1.0, QColor(196, 84, 76));
  p.setPen(Qt::NoPen);
  p.setBrush(tile);
  p.drawRoundedRect(box, 9, 9);

  const QRectF photo = box.adjusted(9, 13, -9, -11);
  p.setBrush(QColor(255, 255, 255));
  p.drawRect(photo);
  p.setBrush(QColor(250, 204, 84));
  p.drawEllipse(QPointF(photo.right() - 7, photo.top() + 6), 3.5, 3.5);
  QPainterPath hills;
  hills.moveTo(photo.left(), photo.bottom());
  hills.lineTo(photo.left() + photo.width() * 0.35, photo.top() + photo.height() * 0.35);
  hills.lineTo(photo.left() + photo.width() * 0.6, photo.top() + photo.height() * 0.7);
  hills.lineTo(photo.left() + photo.width() * 0.75, photo.top() + photo.height() * 0.5);
  hills.lineTo(photo.right(), photo.bottom());
  p.setBrush(QColor(70, 110, 170));
  p.drawPath(hills);

  const QRectF frame = box.adjusted(5, 9, -5, -7);
  const double arm = 8;
  QPen pen(QColor(40, 40, 40), 2.5);
  pen.setCapStyle(Qt::SquareCap);
  p.setPen(pen);
  const QPointF corners[4] = {frame.topLeft(), frame.topRight(), frame.bottomRight(),
                              frame.bottomLeft()};
  for (int i = 0; i < 4; ++i) {
    const QPointF c = corners[i];
    const double dx = (i == 0 || i == 3) ? arm : -arm;
    const double dy = (i < 2) ? arm : -arm;
    p.drawLine(c, c + QPointF(dx, 0));
    p.drawLine(c, c + QPointF(0, dy));
  }
}

}  // namespace

QImage wizardHeaderArtwork(int width, int height) {
  QImage art(width, height, QImage::Format_RGB32);
  art.fill(Qt::white);
  QPainter p(&art);
  p.setRenderHint(QPainter::Antialiasing);

  const double side = std::min(height - 8, 48);
  drawMark(p, QRectF(6, (height - side) / 2, side, side));

  const int textLeft = int(side) + 18;
  QFont title(QStringLiteral("Tahoma"));
  title.setPointSize(13);
  title.setBold(true);
  p.setFont(title);
  p.setPen(QColor(52, 52, 60));
  p.drawText(QPointF(textLeft, height / 2.0 - 2), QStringLiteral("Trimora Wizard"));

  QFont hint(QStringLiteral("Tahoma"));
  hint.setPointSize(8);
  p.setFont(hint);
  p.setPen(QColor(105, 105, 112));
  p.drawText(QPointF(textLeft, height / 2.0 + 15),
             QStringLiteral("Choose a device, two folders and the picture quality."));
  return art;
}

}  // namespace trimora
