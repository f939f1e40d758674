#pragma once

#include <QPushButton>

namespace trimora {

// A push button that keeps its full text however narrow it is: a text too
// long for the button (a deep folder path) is shown shortened in the middle,
// with the whole text as the tool tip; an "&" is shown as itself, never taken
// as a keyboard shortcut mark.
class ElidedButton : public QPushButton {
  Q_OBJECT
 public:
  explicit ElidedButton(const QString& text, QWidget* parent = nullptr);

  QString fullText() const { return mFullText; }
  void setFullText(const QString& text);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void showText();

  QString mFullText;
};

}  // namespace trimora
