#pragma once

#include <functional>
#include <memory>

namespace pelnor {

// A single-shot timer that fires on the UI thread. The animation and the
// double-click wait run on these instead of on threads of their own.
class TTrayTimer {
 public:
  virtual ~TTrayTimer() = default;

  // Fires OnTimer once, `ms` milliseconds from now; restarts a running wait.
  virtual void Start(int ms) = 0;
  virtual void Stop() = 0;
  virtual bool Active() const = 0;

  std::function<void()> OnTimer;
};

class TTrayTimerFactory {
 public:
  virtual ~TTrayTimerFactory() = default;
  virtual std::unique_ptr<TTrayTimer> CreateTimer() = 0;
};

}  // namespace pelnor
