#pragma once

#include <QPushButton>
#include <functional>

#include "TwipsGeometry.h"

namespace trimora {

// A push button whose Caption is kept exactly as assigned. A caption too long
// for the button (a deep folder path) is shown shortened in the middle, with
// the whole text as the tool tip; an "&" is shown as itself, never taken as a
// keyboard shortcut mark.
class CommandButton : public TwipsGeometry<QPushButton> {
  Q_OBJECT
 public:
  explicit CommandButton(const QString& caption = QString(), QWidget* parent = nullptr);

  QString Caption() const { return caption_; }
  void setCaption(const QString& caption);

  std::function<void()> onClick;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void showCaption();

  QString caption_;
};

}  // namespace trimora
