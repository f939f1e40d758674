#pragma once

#include <QApplication>
#include <QStringList>
#include <QUrl>
#include <deque>

#include "Services.h"

// Test doubles for the desktop services: they record what the program asked and answer from a
// script, so no test ever opens a real modal window.
namespace trimora::testing {

struct ShownMessage {
  QString text;
  MessageButtons buttons;
  MessageIcon icon;
};

class FakeMessageBox final : public MessageBoxService {
 public:
  using MessageBoxService::show;
  MessageResult show(QWidget*, const QString& text, MessageButtons buttons,
                     MessageIcon icon) override;
  QStringList texts() const;
  std::vector<ShownMessage> shown;
  std::deque<MessageResult> answers;  // answers for Yes/No questions; Yes when empty
};

class FakeFolderBrowser final : public FolderBrowserService {
 public:
  QString browse(QWidget*, const QString& title, const QString& startFolder) override;
  std::deque<QString> answers;  // empty text = the user cancelled; cancel when empty
  QStringList titles, startFolders;
};

class FakeShell final : public ShellService {
 public:
  bool open(const QUrl& url) override { return opened << url, succeed; }
  QList<QUrl> opened;
  bool succeed = true;  // false: as a desktop without a browser
};

class FakePointer final : public PointerService {
 public:
  QPoint cursorPos() override { return pos; }
  QWidget* topWindow() override { return top; }
  QWidget* widgetAt(const QPoint& at) override {
    return under ? under : QApplication::widgetAt(at);
  }
  QPoint pos;
  QWidget* top = nullptr;
  QWidget* under = nullptr;  // null: ask the application which widget is there
};

// Time that moves only when the test says so.
class FakeClock final : public ClockService {
 public:
  struct Timer;
  std::unique_ptr<TimerEngine> createTimer(std::function<void()> onTick) override;
  void advance(int ms);  // fires every due tick in time order
  std::vector<Timer*> timers;
  long long now = 0;
};

struct FakeServices {
  FakeMessageBox messages;
  FakeFolderBrowser folders;
  FakeShell shell;
  FakePointer pointer;
  FakeClock clock;
  Services services() { return {&messages, &folders, &shell, &pointer, &clock}; }
};

}  // namespace trimora::testing
