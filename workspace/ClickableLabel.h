#pragma once

#include <QLabel>

namespace trimora {

// A caption that acts on a left click (a press and release over it): the
// panel's links and its ".." buttons.
class ClickableLabel : public QLabel {
  Q_OBJECT
 public:
  explicit ClickableLabel(const QString& text, QWidget* parent = nullptr);

 Q_SIGNALS:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace trimora
