#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <deque>
#include <functional>
#include <vector>

#include "Services.h"

// Test doubles for the desktop services: they record what the program asked
// and answer from a script, so no test ever opens a real modal window.
namespace trimora::testing {

struct ShownMessage {
  QString text;
  MsgButtons buttons;
  MsgIcon icon;
  QString title;
};

class FakeMessageBox final : public MessageBoxService {
 public:
  using MessageBoxService::Show;
  MsgResult Show(QWidget* owner, const QString& text, MsgButtons buttons, MsgIcon icon,
                 const QString& title) override;
  std::vector<ShownMessage> shown;
  std::deque<MsgResult> answers;                    // answers for Yes/No questions; Yes when empty
  std::function<void(const ShownMessage&)> onShow;  // runs while the "box" is open
  QStringList texts() const;
};

class FakeFolderBrowser final : public FolderBrowserService {
 public:
  QString Browse(QWidget* owner, const QString& title, const QString& startFolder) override;
  std::deque<QString> answers;  // empty text = the user cancelled; cancel when empty
  QStringList titles;
  QStringList startFolders;
};

class FakeShell final : public ShellService {
 public:
  bool Open(const QUrl& url) override;
  QList<QUrl> opened;
  bool succeed = true;  // false: as a desktop without a browser
};

class FakePointer final : public PointerService {
 public:
  QPoint CursorPos() override { return pos; }
  QWidget* TopWindow() override { return top; }
  QWidget* WidgetAt(const QPoint& globalPos) override;
  QPoint pos;
  QWidget* top = nullptr;
  QWidget* under = nullptr;  // null: ask the application which widget is there
};

// Time that moves only when the test says so.
class FakeClock final : public ClockService {
 public:
  std::unique_ptr<TimerEngine> CreateTimer(std::function<void()> onTick) override;
  // Moves time forward, firing every due tick in time order.
  void Advance(int ms);
  long long now() const { return now_; }

  struct Entry;

 private:
  friend class FakeTimerEngine;
  long long now_ = 0;
  std::vector<Entry*> timers_;
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
