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

enum class MsgIcon { None, Stop, Information, Question, Exclamation };
enum class MsgButtons { OK, YesNo };
enum class MsgResult { OK, Yes, No };

inline const QString kProgramTitle = QStringLiteral("Trimora");

class MessageBoxService {
 public:
  virtual ~MessageBoxService() = default;
  // A modal message; returns the button pressed.
  virtual MsgResult Show(QWidget* owner, const QString& text, MsgButtons buttons, MsgIcon icon,
                         const QString& title) = 0;
  MsgResult Show(QWidget* owner, const QString& text, MsgButtons buttons = MsgButtons::OK,
                 MsgIcon icon = MsgIcon::None) {
    return Show(owner, text, buttons, icon, kProgramTitle);
  }
};

class FolderBrowserService {
 public:
  virtual ~FolderBrowserService() = default;
  // A modal folder chooser that opens at startFolder (when it exists); returns
  // the chosen folder's path, or an empty text when the user cancels.
  virtual QString Browse(QWidget* owner, const QString& title, const QString& startFolder) = 0;
};

class ShellService {
 public:
  virtual ~ShellService() = default;
  // Opens an address or a local page with the desktop's default application.
  virtual bool Open(const QUrl& url) = 0;
};

class PointerService {
 public:
  virtual ~PointerService() = default;
  // Pointer position in global logical pixels.
  virtual QPoint CursorPos() = 0;
  // The top-level window at the head of the stacking order, or null.
  virtual QWidget* TopWindow() = 0;
  // The widget under a global position, or null.
  virtual QWidget* WidgetAt(const QPoint& globalPos) = 0;
};

// A running or stopped periodic timer.
class TimerEngine {
 public:
  virtual ~TimerEngine() = default;
  virtual void Start(int intervalMs) = 0;
  virtual void Stop() = 0;
  virtual bool IsActive() const = 0;
};

class ClockService {
 public:
  virtual ~ClockService() = default;
  virtual std::unique_ptr<TimerEngine> CreateTimer(std::function<void()> onTick) = 0;
};

// The set handed to the windows. None of the pointers may be null.
struct Services {
  MessageBoxService* Messages = nullptr;
  FolderBrowserService* Folders = nullptr;
  ShellService* Shell = nullptr;
  PointerService* Pointer = nullptr;
  ClockService* Clock = nullptr;
};

}  // namespace trimora
