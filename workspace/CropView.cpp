#include "CropView.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include "CropGeometry.h"
#include "TextRules.h"

namespace trimora {

namespace {
constexpr int kScrollBarThickness = 17;
constexpr int kFrameBorder = 3;
constexpr int kMarkInset = 10;
}  // namespace

// The canvas widget: the picture at its own size, the frame drawn over it,
// and the mouse and keys on the picture, handed to the view.
class PictureCanvas : public QWidget {
 public:
  explicit PictureCanvas(CropView* view, QWidget* parent) : QWidget(parent), mView(view) {
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
  }

  QImage picture;
  bool pressed = false;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    if (!picture.isNull()) painter.drawImage(0, 0, picture);
    Q_EMIT mView->painted();
    if (!mView->isFrameShown()) return;
    // A black pen under not-XOR inverts what lies below it, so the outline
    // shows on light and dark pictures alike. The border lies inside the
    // rectangle, each band painted once so the bands do not cancel.
    const QRect r = mView->toShown(mView->frameRect());
    const int bw = std::min(kFrameBorder, std::min(r.width(), r.height()) / 2);
    if (bw <= 0) return;
    painter.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
    painter.fillRect(QRect(r.left(), r.top(), r.width(), bw), Qt::black);
    painter.fillRect(QRect(r.left(), r.bottom() - bw + 1, r.width(), bw), Qt::black);
    painter.fillRect(QRect(r.left(), r.top() + bw, bw, r.height() - 2 * bw), Qt::black);
    painter.fillRect(QRect(r.right() - bw + 1, r.top() + bw, bw, r.height() - 2 * bw), Qt::black);
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    mView->trackPointer(mView->toCanvas(event->position().toPoint()));
  }
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton) pressed = true;
    QWidget::mousePressEvent(event);
  }
  // The canvas keeps the mouse from press to release, so a press on the
  // picture and a release anywhere crops.
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() != Qt::LeftButton || !pressed) return;
    pressed = false;
    Q_EMIT mView->clicked();
  }
  // Keys act on release; the press is taken so that arrows and Space do not
  // wander off to other widgets.
  void keyPressEvent(QKeyEvent* event) override { event->accept(); }
  void keyReleaseEvent(QKeyEvent* event) override {
    if (event->isAutoRepeat()) return;
    Q_EMIT mView->keyReleased(event->key());
  }

 private:
  CropView* mView;
};

CropView::CropView(QWidget* parent) : QWidget(parent) {
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Qt::white);
  setPalette(palette);
  setAutoFillBackground(true);

  mCanvas = new PictureCanvas(this, this);
  mCanvas->setObjectName(QStringLiteral("pictureCanvas"));
  mCanvas->resize(0, 0);

  mCroppedMark = new QLabel(QStringLiteral("Saved"), mCanvas);
  QPalette mark = mCroppedMark->palette();
  mark.setColor(QPalette::Window, QColor(0x36, 0x55, 0x9C));
  mark.setColor(QPalette::WindowText, Qt::white);
  mCroppedMark->setPalette(mark);
  mCroppedMark->setAutoFillBackground(true);
  mCroppedMark->setMargin(2);
  mCroppedMark->hide();

  mHorizontalScrollBar = new QScrollBar(Qt::Horizontal, this);
  mVerticalScrollBar = new QScrollBar(Qt::Vertical, this);
  for (QScrollBar* bar : {mHorizontalScrollBar, mVerticalScrollBar}) {
    bar->setRange(0, 0);
    // A click on an arrow or beside the thumb moves a third of a thousand pixels.
    bar->setSingleStep(333);
    bar->setPageStep(333);
    bar->setEnabled(false);
    connect(bar, &QScrollBar::valueChanged, this, &CropView::updateScrollBars);
  }
}

const QImage& CropView::picture() const {
  return mCanvas->picture;
}

void CropView::setPicture(QImage shown, QSize canvasSize) {
  // The picture's pixels are logical pixels: on a high-density screen picture
  // and frame scale together, so a cut keeps its exact pixel size.
  shown.setDevicePixelRatio(1.0);
  mCanvasSize = canvasSize.isEmpty() || shown.isNull() ? shown.size() : canvasSize;
  mScale = mCanvasSize.width() > 0 ? double(shown.width()) / mCanvasSize.width() : 1.0;
  mCanvas->picture = std::move(shown);
  mCanvas->resize(mCanvas->picture.size());
  mPictureArea = QRect(QPoint(0, 0), mCanvasSize);
  mCanvas->update();
}

void CropView::setPictureArea(const QRect& area) {
  mPictureArea = area & QRect(QPoint(0, 0), mCanvasSize);
}

QPoint CropView::toCanvas(QPoint shown) const {
  if (mScale == 1.0) return shown;
  return {nearestInt(shown.x() / mScale), nearestInt(shown.y() / mScale)};
}

QRect CropView::toShown(const QRect& canvasRect) const {
  if (mScale == 1.0) return canvasRect;
  const QPoint topLeft(nearestInt(canvasRect.x() * mScale), nearestInt(canvasRect.y() * mScale));
  const QPoint end(nearestInt((canvasRect.x() + canvasRect.width()) * mScale),
                   nearestInt((canvasRect.y() + canvasRect.height()) * mScale));
  return {topLeft, QSize(end.x() - topLeft.x(), end.y() - topLeft.y())};
}

void CropView::setCanvasVisible(bool visible) {
  mCanvas->setVisible(visible);
}

bool CropView::isCanvasVisible() const {
  return mCanvas->isVisibleTo(this);
}

void CropView::setFrameSize(QSize size) {
  if (size == mFrameSize) return;
  mFrameSize = size;
  mCanvas->update();
}

void CropView::setFrameTopLeft(QPoint topLeft) {
  if (topLeft == mFrameTopLeft) return;  // a move that keeps the frame costs no repaint
  mFrameTopLeft = topLeft;
  mCanvas->update();
  placeCroppedMark();
}

void CropView::setFrameShown(bool shown) {
  if (shown == mFrameShown) return;
  mFrameShown = shown;
  mCanvas->update();
}

void CropView::trackPointer(QPoint canvasPos) {
  if (!mFrameShown) return;
  setFrameTopLeft(frameForPointer(canvasPos, mFrameSize, mPictureArea));
}

void CropView::placeFrameAtPointer(QPoint globalPos) {
  if (!mFrameShown) return;
  if (isOverView(globalPos)) {
    trackPointer(toCanvas(mCanvas->mapFromGlobal(globalPos)));
    return;
  }
  setFrameTopLeft(clampFrame(mFrameTopLeft, mFrameSize, mPictureArea));
  // The least scroll that shows the whole frame (its top-left where the view is too small).
  const QSize visible = visibleSize();
  const QPoint scroll = scrollPosition();
  const QRect frame = toShown(frameRect());
  const auto reveal = [](int start, int length, int at, int shown) {
    if (start + length > at + shown) at = start + length - shown;
    return std::min(at, start);
  };
  scrollTo({reveal(frame.x(), frame.width(), scroll.x(), visible.width()),
            reveal(frame.y(), frame.height(), scroll.y(), visible.height())});
}

void CropView::setCroppedMark(const QString& text) {
  if (!text.isEmpty()) {
    mCroppedMark->setText(text);
    mCroppedMark->resize(mCroppedMark->sizeHint());
  }
  mCroppedMark->setVisible(!text.isEmpty());
  placeCroppedMark();
}

QString CropView::croppedMark() const {
  return mCroppedMark->isVisibleTo(mCanvas) ? mCroppedMark->text() : QString();
}

void CropView::placeCroppedMark() {
  if (mCroppedMark->isHidden()) return;
  // Ten pixels in from the frame's top and right edges.
  const QRect frame = toShown(frameRect());
  mCroppedMark->move(frame.x() + frame.width() - mCroppedMark->width() - kMarkInset,
                     frame.y() + kMarkInset);
  mCroppedMark->raise();
}

QSize CropView::visibleSize() const {
  return {width() - kScrollBarThickness, height() - kScrollBarThickness};
}

QRect CropView::canvasGeometry() const {
  return mCanvas->geometry();
}

QSize CropView::scrollRange() const {
  return {mHorizontalScrollBar->isEnabled() ? mHorizontalScrollBar->maximum() : 0,
          mVerticalScrollBar->isEnabled() ? mVerticalScrollBar->maximum() : 0};
}

QPoint CropView::scrollPosition() const {
  return {mHorizontalScrollBar->value(), mVerticalScrollBar->value()};
}

void CropView::scrollTo(QPoint position) {
  mHorizontalScrollBar->setValue(position.x());
  mVerticalScrollBar->setValue(position.y());
}

void CropView::resetScroll() {
  scrollTo({0, 0});
}

void CropView::updateScrollBars() {
  if (!hasPicture() || mCanvas->isHidden()) {
    mHorizontalScrollBar->setEnabled(false);
    mVerticalScrollBar->setEnabled(false);
    return;
  }
  const QSize visible = visibleSize();
  const int rangeX = trimora::scrollRange(mCanvas->width(), visible.width());
  const int rangeY = trimora::scrollRange(mCanvas->height(), visible.height());
  mHorizontalScrollBar->setEnabled(rangeX > 0);
  mVerticalScrollBar->setEnabled(rangeY > 0);
  if (rangeX > 0) {
    mHorizontalScrollBar->setMaximum(rangeX);
    mCanvas->move(-mHorizontalScrollBar->value(), mCanvas->y());
  }
  if (rangeY > 0) {
    mVerticalScrollBar->setMaximum(rangeY);
    mCanvas->move(mCanvas->x(), -mVerticalScrollBar->value());
  }
}

void CropView::centrePicture() {
  const QSize visible = visibleSize();
  if (mCanvas->width() <= visible.width())
    mCanvas->move(centredOffset(mCanvas->width(), visible.width()), mCanvas->y());
  if (mCanvas->height() <= visible.height())
    mCanvas->move(mCanvas->x(), centredOffset(mCanvas->height(), visible.height()));
}

bool CropView::isOverView(QPoint globalPos) const {
  const QPoint local = mapFromGlobal(globalPos);
  return QRect(QPoint(0, 0), visibleSize()).contains(local);
}

void CropView::autoPan(QPoint globalPos) {
  if (!mFrameShown) return;
  const QSize visible = visibleSize();
  if (!(visible.width() > toShown(frameRect()).width() &&
        visible.height() > toShown(frameRect()).height()))
    return;
  for (int pass = 0; pass < kPanPasses; ++pass) {
    const QRect frame = toShown(frameRect());
    const int dx = autoPanStep(frame.x(), frame.width(), mHorizontalScrollBar->value(),
                               mHorizontalScrollBar->maximum(), visible.width());
    const int dy = autoPanStep(frame.y(), frame.height(), mVerticalScrollBar->value(),
                               mVerticalScrollBar->maximum(), visible.height());
    if (dx == 0 && dy == 0) break;
    scrollTo(scrollPosition() + QPoint(dx, dy));
    // The picture moved under a resting pointer: the frame follows the
    // pointer as if it had moved, so panning goes on while it rests at the edge.
    const QPoint local = mCanvas->mapFromGlobal(globalPos);
    if (mCanvas->rect().contains(local)) trackPointer(toCanvas(local));
  }
}

void CropView::focusPicture() {
  if (mCanvas->isVisible()) mCanvas->setFocus(Qt::OtherFocusReason);
}

bool CropView::pictureHasFocus() const {
  return mCanvas->hasFocus();
}

void CropView::wheelEvent(QWheelEvent* event) {
  QPoint delta = event->angleDelta();
  if (event->modifiers() & Qt::ShiftModifier) delta = {delta.y(), delta.x()};
  // A notch (120) scrolls 60 pixels: three lines of 20, as the desktop's views do.
  scrollTo(scrollPosition() - delta / 2);
  const QPoint local = mCanvas->mapFromGlobal(event->globalPosition().toPoint());
  if (mCanvas->rect().contains(local)) trackPointer(toCanvas(local));
  event->accept();
}

void CropView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  mVerticalScrollBar->setGeometry(width() - kScrollBarThickness, 0, kScrollBarThickness,
                                  height() - kScrollBarThickness);
  mHorizontalScrollBar->setGeometry(0, height() - kScrollBarThickness, width(),
                                    kScrollBarThickness);
  mHorizontalScrollBar->raise();
  mVerticalScrollBar->raise();
  updateScrollBars();
  centrePicture();
}

}  // namespace trimora
