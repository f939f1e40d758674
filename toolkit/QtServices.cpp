#include "QtServices.h"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

namespace trimora {

MessageResult QtMessageBoxService::show(QWidget* owner, const QString& text, MessageButtons buttons,
                                        MessageIcon icon) {
  QMessageBox box(owner);
  box.setWindowTitle(kProgramName);
  box.setText(text);
  switch (icon) {
    case MessageIcon::Stop:
      box.setIcon(QMessageBox::Critical);
      break;
    case MessageIcon::Information:
      box.setIcon(QMessageBox::Information);
      break;
    case MessageIcon::Question:
      box.setIcon(QMessageBox::Question);
      break;
    case MessageIcon::Exclamation:
      box.setIcon(QMessageBox::Warning);
      break;
    case MessageIcon::None:
      box.setIcon(QMessageBox::NoIcon);
      break;
  }
  if (buttons == MessageButtons::YesNo) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes ? MessageResult::Yes : MessageResult::No;
  }
  box.setStandardButtons(QMessageBox::Ok);
  box.exec();
  return MessageResult::Ok;
}

QString QtFolderBrowserService::browse(QWidget* owner, const QString& title,
                                       const QString& startFolder) {
  return QFileDialog::getExistingDirectory(owner, title, startFolder, QFileDialog::ShowDirsOnly);
}

bool QtShellService::open(const QUrl& url) {
  return QDesktopServices::openUrl(url);
}

QPoint QtPointerService::cursorPos() {
  return QCursor::pos();
}

QWidget* QtPointerService::topWindow() {
  // The active window stands for the head of the stacking order: it is the one
  // the user works in, and a modal dialog or another program takes it away.
  return QApplication::activeWindow();
}

QWidget* QtPointerService::widgetAt(const QPoint& globalPos) {
  return QApplication::widgetAt(globalPos);
}

namespace {

class QtTimerEngine final : public TimerEngine {
 public:
  explicit QtTimerEngine(std::function<void()> onTick) {
    QObject::connect(&timer_, &QTimer::timeout, std::move(onTick));
  }
  void start(int intervalMs) override { timer_.start(intervalMs); }
  void stop() override { timer_.stop(); }
  bool isActive() const override { return timer_.isActive(); }

 private:
  QTimer timer_;
};

}  // namespace

std::unique_ptr<TimerEngine> QtClockService::createTimer(std::function<void()> onTick) {
  return std::make_unique<QtTimerEngine>(std::move(onTick));
}

}  // namespace trimora
