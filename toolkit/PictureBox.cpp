#include "PictureBox.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace trimora {

namespace {
int twipsOf(double pixels) {
  return nearestInt(pixels * kTwipsPerPixel);
}
}  // namespace

PictureBox::PictureBox(QWidget* parent) : TwipsGeometry<QWidget>(parent) {
  setMouseTracking(true);
  setFocusPolicy(Qt::ClickFocus);
  setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void PictureBox::setPicture(QImage picture) {
  picture_ = std::move(picture);
  // The picture's pixels are logical pixels: on a high-density screen picture
  // and crop frame scale together, so a crop keeps its exact pixel size.
  picture_.setDevicePixelRatio(1.0);
  if (autoSize_) {
    if (picture_.isNull())
      resize(0, 0);
    else
      resize(picture_.size());
  }
  update();
}

void PictureBox::setBackColor(std::uint32_t bgr) {
  SetWidgetColor(*this, QPalette::Window, bgr);
  setAutoFillBackground(true);
}

Shape& PictureBox::AddShape() {
  shapes_.push_back(std::make_unique<Shape>([this] { update(); }));
  return *shapes_.back();
}

void PictureBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (!picture_.isNull()) painter.drawImage(0, 0, picture_);
  for (const auto& shape : shapes_) {
    if (!shape->Visible()) continue;
    const int w = shape->BorderWidth();
    const QRect r(TwipsToPixels(shape->Left()), TwipsToPixels(shape->Top()),
                  TwipsToPixels(shape->Width()), TwipsToPixels(shape->Height()));
    // The border lies inside the rectangle; each band painted once so the
    // not-XOR pen does not cancel itself where bands would overlap.
    // A black pen under not-XOR inverts whatever lies below it.
    painter.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
    const QColor pen = Qt::black;
    const int bw = std::min(w, std::min(r.width(), r.height()) / 2);
    if (bw <= 0) continue;
    painter.fillRect(QRect(r.left(), r.top(), r.width(), bw), pen);
    painter.fillRect(QRect(r.left(), r.bottom() - bw + 1, r.width(), bw), pen);
    painter.fillRect(QRect(r.left(), r.top() + bw, bw, r.height() - 2 * bw), pen);
    painter.fillRect(QRect(r.right() - bw + 1, r.top() + bw, bw, r.height() - 2 * bw), pen);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  }
  if (onPaint) onPaint(painter);
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
  if (onMouseDown)
    onMouseDown(event->button(), event->modifiers(), twipsOf(event->position().x()),
                twipsOf(event->position().y()));
  QWidget::mousePressEvent(event);
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
  if (onMouseMove)
    onMouseMove(event->buttons(), event->modifiers(), twipsOf(event->position().x()),
                twipsOf(event->position().y()));
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
  if (onMouseUp)
    onMouseUp(event->button(), event->modifiers(), twipsOf(event->position().x()),
              twipsOf(event->position().y()));
}

void PictureBox::keyPressEvent(QKeyEvent* event) {
  // Keys act on release; swallow the press so that arrows and Space do not
  // wander off to other widgets.
  if (onKeyUp)
    event->accept();
  else
    QWidget::keyPressEvent(event);
}

void PictureBox::keyReleaseEvent(QKeyEvent* event) {
  if (event->isAutoRepeat()) return;
  if (onKeyUp)
    onKeyUp(event->key(), event->modifiers());
  else
    QWidget::keyReleaseEvent(event);
}

}  // namespace trimora
