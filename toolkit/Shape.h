#pragma once

#include <functional>

namespace trimora {

// A rectangle outline drawn by its picture box over the picture. Position and
// size are in twips relative to the box; the owner repaints on every change.
class Shape {
 public:
  explicit Shape(std::function<void()> changed = {}) : changed_(std::move(changed)) {}

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Visible() const { return visible_; }
  int BorderWidth() const { return borderWidth_; }

  void setLeft(int v) { set(left_, v); }
  void setTop(int v) { set(top_, v); }
  bool setWidth(int v) { return v >= 0 && (set(width_, v), true); }
  bool setHeight(int v) { return v >= 0 && (set(height_, v), true); }
  void setVisible(bool v) {
    if (visible_ != v) {
      visible_ = v;
      notify();
    }
  }
  void setBorderWidth(int pixels) { set(borderWidth_, pixels); }

 private:
  void set(int& field, int v) {
    if (field != v) {
      field = v;
      notify();
    }
  }
  void notify() {
    if (changed_) changed_();
  }

  int left_ = 0, top_ = 0, width_ = 0, height_ = 0, borderWidth_ = 1;
  bool visible_ = false;
  std::function<void()> changed_;
};

}  // namespace trimora
