#pragma once

#include <QPalette>
#include <QWidget>
#include <cstdint>

#include "Twips.h"

namespace trimora {

// Sets one colour of a widget's palette from a 0x00BBGGRR value.
inline void SetWidgetColor(QWidget& widget, QPalette::ColorRole role, std::uint32_t bgr) {
  QPalette p = widget.palette();
  p.setColor(role, ColorFromBGR(bgr));
  widget.setPalette(p);
}

// Gives a widget position and size in twips. The twips last assigned are kept,
// so a value that is not a whole number of pixels reads back as it was set, as
// long as the widget has not been moved or resized in pixels since.
template <class Base>
class TwipsGeometry : public Base {
 public:
  using Base::Base;

  int Left() const { return TwipsToPixels(left_) == this->x() ? left_ : PixelsToTwips(this->x()); }
  int Top() const { return TwipsToPixels(top_) == this->y() ? top_ : PixelsToTwips(this->y()); }
  int Width() const {
    return TwipsToPixels(width_) == this->width() ? width_ : PixelsToTwips(this->width());
  }
  int Height() const {
    return TwipsToPixels(height_) == this->height() ? height_ : PixelsToTwips(this->height());
  }

  void setLeft(int twips) {
    left_ = twips;
    this->move(TwipsToPixels(twips), this->y());
  }
  void setTop(int twips) {
    top_ = twips;
    this->move(this->x(), TwipsToPixels(twips));
  }
  // Negative sizes are refused, as the desktop would refuse them.
  bool setWidth(int twips) {
    if (twips < 0) return false;
    width_ = twips;
    this->resize(TwipsToPixels(twips), this->height());
    return true;
  }
  bool setHeight(int twips) {
    if (twips < 0) return false;
    height_ = twips;
    this->resize(this->width(), TwipsToPixels(twips));
    return true;
  }
  void Move(int left, int top, int width, int height) {
    setLeft(left);
    setTop(top);
    setWidth(width);
    setHeight(height);
  }

  bool Visible() const { return this->isVisibleTo(this->parentWidget()); }
  bool Enabled() const { return this->isEnabled(); }

 private:
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
};

}  // namespace trimora
