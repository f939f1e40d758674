#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>

#include "Shape.h"
#include "TwipsGeometry.h"

namespace trimora {

// A surface that shows one picture. With AutoSize on it takes the picture's
// size. Mouse positions reach the handlers in twips of the box. A Shape given
// to it is drawn over the picture with a not-XOR pen, so the outline shows on
// light and dark pictures alike.
class PictureBox : public TwipsGeometry<QWidget> {
  Q_OBJECT
 public:
  explicit PictureBox(QWidget* parent = nullptr);

  const QImage& Picture() const { return picture_; }
  bool HasPicture() const { return !picture_.isNull(); }
  void setPicture(QImage picture);
  void clearPicture() { setPicture(QImage()); }
  void setAutoSize(bool on) { autoSize_ = on; }
  void setBackColor(std::uint32_t bgr);

  // The outline drawn over the picture (owned by the box).
  Shape& AddShape();

  // Button as Qt reports it; x and y in twips.
  std::function<void(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y)> onMouseDown;
  std::function<void(Qt::MouseButtons, Qt::KeyboardModifiers, int x, int y)> onMouseMove;
  std::function<void(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y)> onMouseUp;
  std::function<void(int key, Qt::KeyboardModifiers)> onKeyUp;
  std::function<void(QPainter&)> onPaint;  // extra painting after the picture

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QImage picture_;
  bool autoSize_ = false;
  std::vector<std::unique_ptr<Shape>> shapes_;
};

}  // namespace trimora
