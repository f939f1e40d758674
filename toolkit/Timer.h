#pragma once

#include <functional>
#include <memory>

#include "Services.h"

namespace trimora {

// A periodic timer on the user-interface thread. Enabling it (again) starts a
// fresh interval.
class Timer {
 public:
  Timer(ClockService& clock, int intervalMs, bool enabled, std::function<void()> onTick);

  bool Enabled() const { return engine_->IsActive(); }
  void setEnabled(bool on);
  int Interval() const { return interval_; }
  void setInterval(int ms);

 private:
  int interval_;
  std::unique_ptr<TimerEngine> engine_;
};

}  // namespace trimora
