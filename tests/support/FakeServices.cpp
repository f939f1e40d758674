#include "FakeServices.h"

#include <QApplication>
#include <algorithm>

namespace trimora::testing {

MessageResult FakeMessageBox::show(QWidget*, const QString& text, MessageButtons buttons,
                                   MessageIcon icon) {
  shown.push_back({text, buttons, icon});
  if (onShow) onShow(shown.back());
  if (buttons == MessageButtons::Ok) return MessageResult::Ok;
  if (answers.empty()) return MessageResult::Yes;
  const MessageResult answer = answers.front();
  answers.pop_front();
  return answer;
}

QStringList FakeMessageBox::texts() const {
  QStringList list;
  for (const auto& m : shown) list << m.text;
  return list;
}

QString FakeFolderBrowser::browse(QWidget*, const QString& title, const QString& startFolder) {
  titles << title;
  startFolders << startFolder;
  if (answers.empty()) return {};
  QString answer = answers.front();
  answers.pop_front();
  return answer;
}

bool FakeShell::open(const QUrl& url) {
  opened << url;
  return succeed;
}

QWidget* FakePointer::widgetAt(const QPoint& globalPos) {
  return under ? under : QApplication::widgetAt(globalPos);
}

struct FakeClock::Entry {
  std::function<void()> onTick;
  bool active = false;
  int interval = 0;
  long long due = 0;
};

class FakeTimerEngine final : public TimerEngine {
 public:
  FakeTimerEngine(FakeClock& clock, std::function<void()> onTick) : clock_(clock) {
    entry_.onTick = std::move(onTick);
    clock_.timers_.push_back(&entry_);
  }
  ~FakeTimerEngine() override {
    auto& v = clock_.timers_;
    v.erase(std::remove(v.begin(), v.end(), &entry_), v.end());
  }
  void start(int intervalMs) override {
    entry_.active = true;
    entry_.interval = std::max(1, intervalMs);
    entry_.due = clock_.now_ + entry_.interval;
  }
  void stop() override { entry_.active = false; }
  bool isActive() const override { return entry_.active; }

 private:
  FakeClock& clock_;
  FakeClock::Entry entry_;
};

std::unique_ptr<TimerEngine> FakeClock::createTimer(std::function<void()> onTick) {
  return std::make_unique<FakeTimerEngine>(*this, std::move(onTick));
}

void FakeClock::advance(int ms) {
  const long long end = now_ + ms;
  for (;;) {
    Entry* next = nullptr;
    for (Entry* e : timers_)
      if (e->active && e->due <= end && (!next || e->due < next->due)) next = e;
    if (!next) break;
    now_ = next->due;
    next->due += next->interval;
    next->onTick();  // may stop, restart or destroy timers
  }
  now_ = end;
}

}  // namespace trimora::testing
