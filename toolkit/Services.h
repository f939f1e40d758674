#pragma once

#include <QPoint>
#include <QString>
#include <QUrl>
#include <functional>
#include <memory>

class QWidget;

// What the program asks of the desktop, behind small interfaces so that tests
// can answer instead of a person. The real implementations live in
// QtServices; tests use fakes. One set is made at start-up and handed down.
namespace trimora {

// The program's name: window titles, message box titles, the settings file.
inline const QString kProgramName = QStringLiteral("Trimora");

enum class MessageIcon { None, Stop, Information, Question, Exclamation };
enum class MessageButtons { Ok, YesNo };
enum class MessageResult { Ok, Yes, No };

class MessageBoxService {
 public:
  virtual ~MessageBoxService() = default;
  // A modal message titled with the program's name; returns the button pressed.
  virtual MessageResult show(QWidget* owner, const QString& text, MessageButtons buttons,
                             MessageIcon icon) = 0;
  MessageResult show(QWidget* owner, const QString& text) {
    return show(owner, text, MessageButtons::Ok, MessageIcon::None);
  }
};

class FolderBrowserService {
 public:
  virtual ~FolderBrowserService() = default;
  // A modal folder chooser that opens at startFolder (when it exists); returns
  // the chosen folder's path, or an empty text when the user cancels.
  virtual QString browse(QWidget* owner, const QString& title, const QString& startFolder) = 0;
};

class ShellService {
 public:
  virtual ~ShellService() = default;
  // Opens an address or a local page with the desktop's default application;
  // false when nothing could be started.
  virtual bool open(const QUrl& url) = 0;
};

class PointerService {
 public:
  virtual ~PointerService() = default;
  // Pointer position in global logical pixels.
  virtual QPoint cursorPos() = 0;
  // The window the user works in (the active one), or null.
  virtual QWidget* topWindow() = 0;
  // The widget under a global position, or null.
  virtual QWidget* widgetAt(const QPoint& globalPos) = 0;
};

// A running or stopped periodic timer.
class TimerEngine {
 public:
  virtual ~TimerEngine() = default;
  virtual void start(int intervalMs) = 0;
  virtual void stop() = 0;
  virtual bool isActive() const = 0;
};

class ClockService {
 public:
  virtual ~ClockService() = default;
  virtual std::unique_ptr<TimerEngine> createTimer(std::function<void()> onTick) = 0;
};

// The set handed to the windows. None of the pointers may be null.
struct Services {
  MessageBoxService* messages = nullptr;
  FolderBrowserService* folders = nullptr;
  ShellService* shell = nullptr;
  PointerService* pointer = nullptr;
  ClockService* clock = nullptr;
};

// A periodic timer on the services' clock, on the user-interface thread.
// Starting it (again) begins a fresh interval.
class ClockTimer {
 public:
  ClockTimer(ClockService& clock, int intervalMs, std::function<void()> onTick)
      : mInterval(intervalMs), mEngine(clock.createTimer(std::move(onTick))) {}
  bool isActive() const { return mEngine->isActive(); }
  void setActive(bool on) {
    if (on)
      mEngine->start(mInterval);
    else
      mEngine->stop();
  }

 private:
  int mInterval;
  std::unique_ptr<TimerEngine> mEngine;
};

}  // namespace trimora
