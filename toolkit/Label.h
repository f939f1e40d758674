#pragma once

#include <QLabel>
#include <functional>

#include "TwipsGeometry.h"

namespace trimora {

// A caption. With AutoSize on, its width (and height) follow the caption.
class Label : public TwipsGeometry<QLabel> {
  Q_OBJECT
 public:
  explicit Label(const QString& caption = QString(), QWidget* parent = nullptr);

  QString Caption() const { return text(); }
  void setCaption(const QString& caption);
  void setAutoSize(bool on);
  std::uint32_t ForeColor() const { return foreColor_; }
  void setForeColor(std::uint32_t bgr);
  void setBackColor(std::uint32_t bgr);
  void setTransparent();

  std::function<void()> onClick;
  // The caption changed.
  std::function<void()> onChange;
  std::function<void(Qt::MouseButton)> onMouseUp;

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool autoSize_ = false;
  std::uint32_t foreColor_ = 0;
};

}  // namespace trimora
