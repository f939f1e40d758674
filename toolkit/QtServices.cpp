#include "QtServices.h"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

namespace trimora {

MsgResult QtMessageBoxService::Show(QWidget* owner, const QString& text, MsgButtons buttons,
                                    MsgIcon icon, const QString& title) {
  QMessageBox box(owner);
  box.setWindowTitle(title);
  box.setText(text);
  switch (icon) {
    case MsgIcon::Stop:
      box.setIcon(QMessageBox::Critical);
      break;
    case MsgIcon::Information:
      box.setIcon(QMessageBox::Information);
      break;
    case MsgIcon::Question:
      box.setIcon(QMessageBox::Question);
      break;
    case MsgIcon::Exclamation:
      box.setIcon(QMessageBox::Warning);
      break;
    case MsgIcon::None:
      box.setIcon(QMessageBox::NoIcon);
      break;
  }
  if (buttons == MsgButtons::YesNo) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes ? MsgResult::Yes : MsgResult::No;
  }
  box.setStandardButtons(QMessageBox::Ok);
  box.exec();
  return MsgResult::OK;
}

QString QtFolderBrowserService::Browse(QWidget* owner, const QString& title,
                                       const QString& startFolder) {
  return QFileDialog::getExistingDirectory(owner, title, startFolder, QFileDialog::ShowDirsOnly);
}

bool QtShellService::Open(const QUrl& url) {
  return QDesktopServices::openUrl(url);
}

QPoint QtPointerService::CursorPos() {
  return QCursor::pos();
}

QWidget* QtPointerService::TopWindow() {
  // The active window stands for the head of the stacking order: it is the one
  // the user works in, and a modal dialog or another program takes it away.
  return QApplication::activeWindow();
}

QWidget* QtPointerService::WidgetAt(const QPoint& globalPos) {
  return QApplication::widgetAt(globalPos);
}

namespace {

class QtTimerEngine final : public TimerEngine {
 public:
  explicit QtTimerEngine(std::function<void()> onTick) {
    QObject::connect(&timer_, &QTimer::timeout, std::move(onTick));
  }
  void Start(int intervalMs) override { timer_.start(intervalMs); }
  void Stop() override { timer_.stop(); }
  bool IsActive() const override { return timer_.isActive(); }

 private:
  QTimer timer_;
};

}  // namespace

std::unique_ptr<TimerEngine> QtClockService::CreateTimer(std::function<void()> onTick) {
  return std::make_unique<QtTimerEngine>(std::move(onTick));
}

}  // namespace trimora
