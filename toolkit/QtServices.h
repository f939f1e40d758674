#pragma once

#include "Services.h"

namespace trimora {

// The desktop's own message box, folder chooser, default-application opener,
// pointer and timers.
class QtMessageBoxService final : public MessageBoxService {
 public:
  using MessageBoxService::show;
  MessageResult show(QWidget* owner, const QString& text, MessageButtons buttons,
                     MessageIcon icon) override;
};

class QtFolderBrowserService final : public FolderBrowserService {
 public:
  QString browse(QWidget* owner, const QString& title, const QString& startFolder) override;
};

class QtShellService final : public ShellService {
 public:
  bool open(const QUrl& url) override;
};

class QtPointerService final : public PointerService {
 public:
  QPoint cursorPos() override;
  QWidget* topWindow() override;
  QWidget* widgetAt(const QPoint& globalPos) override;
};

class QtClockService final : public ClockService {
 public:
  std::unique_ptr<TimerEngine> createTimer(std::function<void()> onTick) override;
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
