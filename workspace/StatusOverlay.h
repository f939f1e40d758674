#pragma once

#include <QWidget>
#include <memory>

#include "Services.h"

class QLabel;

namespace trimora {

// The status line: a small blue bar over the crop view's top-left corner that
// shows one short notice and hides itself three seconds after the last one.
class StatusOverlay : public QWidget {
  Q_OBJECT
 public:
  StatusOverlay(ClockService& clock, QWidget* parent);
  ~StatusOverlay() override;

  // Shows a notice for three seconds from now; an empty text shows the last one again.
  void showMessage(const QString& text);
  QString text() const;
  // Stops the hiding timer (the window is closing).
  void stop();

 Q_SIGNALS:
  // Every notice shown, in order (also one that repeats the text on show).
  void messageShown(const QString& text);

 private:
  QLabel* mTextLabel;
  std::unique_ptr<ClockTimer> mHideTimer;
};

}  // namespace trimora
