#pragma once

#include <functional>
#include <memory>

namespace pelnor {

// A single-shot timer that fires on the UI thread. The animation and the
// double-click wait run on these instead of on threads of their own.
class TrayTimer {
 public:
  virtual ~TrayTimer() = default;

  // Fires OnTimer once, `ms` milliseconds from now; restarts a running wait.
  virtual void Start(int ms) = 0;
  virtual void Stop() = 0;
  virtual bool Active() const = 0;

  std::function<void()> OnTimer;
};

class TrayTimerFactory {
 public:
  virtual ~TrayTimerFactory() = default;
  virtual std::unique_ptr<TrayTimer> CreateTimer() = 0;
};

}  // namespace pelnor
