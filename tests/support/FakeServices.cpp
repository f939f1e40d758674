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
