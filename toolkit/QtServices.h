#pragma once

#include "Services.h"

namespace trimora {

// The desktop's own message box, folder chooser, default-application opener,
// pointer and timers.
class QtMessageBoxService final : public MessageBoxService {
 public:
  using MessageBoxService::Show;
  MsgResult Show(QWidget* owner, const QString& text, MsgButtons buttons, MsgIcon icon,
                 const QString& title) override;
};

class QtFolderBrowserService final : public FolderBrowserService {
 public:
  QString Browse(QWidget* owner, const QString& title, const QString& startFolder) override;
};

class QtShellService final : public ShellService {
 public:
  bool Open(const QUrl& url) override;
};

class QtPointerService final : public PointerService {
 public:
  QPoint CursorPos() override;
  QWidget* TopWindow() override;
  QWidget* WidgetAt(const QPoint& globalPos) override;
};

class QtClockService final : public ClockService {
 public:
  std::unique_ptr<TimerEngine> CreateTimer(std::function<void()> onTick) override;
};

// One instance of each, for main().
struct QtServices {
  QtMessageBoxService messages;
  QtFolderBrowserService folders;
  QtShellService shell;
  QtPointerService pointer;
  QtClockService clock;
  Services services() { return {&messages, &folders, &shell, &pointer, &clock}; }
};

}  // namespace trimora
