#include "FakeServices.h"

#include <algorithm>

namespace trimora::testing {

MessageResult FakeMessageBox::show(QWidget*, const QString& text, MessageButtons buttons,
                                   MessageIcon icon) {
  shown.push_back({text, buttons, icon});
  if (buttons == MessageButtons::Ok) return MessageResult::Ok;
  const MessageResult answer = answers.empty() ? MessageResult::Yes : answers.front();
  if (!answers.empty()) answers.pop_front();
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
  const QString answer = answers.empty() ? QString() : answers.front();
  if (!answers.empty()) answers.pop_front();
  return answer;
}

struct FakeClock::Timer final : TimerEngine {
  Timer(FakeClock& clock, std::function<void()> tick) : clock(clock), onTick(std::move(tick)) {
    clock.timers.push_back(this);
  }
  ~Timer() override { std::erase(clock.timers, this); }
  void start(int ms) override {
    active = true, interval = std::max(1, ms), due = clock.now + interval;
  }
  void stop() override { active = false; }
  bool isActive() const override { return active; }
  FakeClock& clock;
  std::function<void()> onTick;
  bool active = false;
  int interval = 0;
  long long due = 0;
};

std::unique_ptr<TimerEngine> FakeClock::createTimer(std::function<void()> onTick) {
  return std::make_unique<Timer>(*this, std::move(onTick));
}

void FakeClock::advance(int ms) {
  const long long end = now + ms;
  for (;;) {
    Timer* next = nullptr;
    for (Timer* t : timers)
      if (t->active && t->due <= end && (!next || t->due < next->due)) next = t;
    if (!next) break;
    now = next->due;
    next->due += next->interval;
    next->onTick();  // may stop, restart or destroy timers
  }
  now = end;
}

}  // namespace trimora::testing
