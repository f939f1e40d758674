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
  FakeTimerEngine(FakeClock& clock, std::function<void()> onTick) : mClock(clock) {
    mEntry.onTick = std::move(onTick);
    mClock.mTimers.push_back(&mEntry);
  }
  ~FakeTimerEngine() override {
    auto& v = mClock.mTimers;
    v.erase(std::remove(v.begin(), v.end(), &mEntry), v.end());
  }
  void start(int intervalMs) override {
    mEntry.active = true;
    mEntry.interval = std::max(1, intervalMs);
    mEntry.due = mClock.mNow + mEntry.interval;
  }
  void stop() override { mEntry.active = false; }
  bool isActive() const override { return mEntry.active; }

 private:
  FakeClock& mClock;
  FakeClock::Entry mEntry;
};

std::unique_ptr<TimerEngine> FakeClock::createTimer(std::function<void()> onTick) {
  return std::make_unique<FakeTimerEngine>(*this, std::move(onTick));
}

void FakeClock::advance(int ms) {
  const long long end = mNow + ms;
  for (;;) {
    Entry* next = nullptr;
    for (Entry* e : mTimers)
      if (e->active && e->due <= end && (!next || e->due < next->due)) next = e;
    if (!next) break;
    mNow = next->due;
    next->due += next->interval;
    next->onTick();  // may stop, restart or destroy timers
  }
  mNow = end;
}

}  // namespace trimora::testing
