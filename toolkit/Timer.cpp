#include "Timer.h"

namespace trimora {

Timer::Timer(ClockService& clock, int intervalMs, bool enabled, std::function<void()> onTick)
    : interval_(intervalMs), engine_(clock.CreateTimer(std::move(onTick))) {
  if (enabled) engine_->Start(interval_);
}

void Timer::setEnabled(bool on) {
  if (on)
    engine_->Start(interval_);
  else
    engine_->Stop();
}

void Timer::setInterval(int ms) {
  interval_ = ms;
  if (engine_->IsActive()) engine_->Start(interval_);
}

}  // namespace trimora
