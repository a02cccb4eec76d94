#pragma once

// The one event pump of the program: the POP3 client and the printout call
// it while they wait or work, so the tray menu, the timer and the signals
// are served in the middle of a check. Once the program is ending it throws
// EProgramEnding, so the check unwinds at once instead of fetching on.

#include <chrono>
#include <functional>

#include "core/check/program_ending.h"

namespace pelnor {

class EventPump {
 public:
  // `processEvents` runs the pending user-interface events; it is called at
  // most once per `interval`, however often the pump is called.
  explicit EventPump(std::function<void()> processEvents,
                     std::chrono::milliseconds interval = std::chrono::milliseconds(20));
  EventPump(const EventPump&) = delete;
  EventPump& operator=(const EventPump&) = delete;

  // Throws EProgramEnding once MarkEnding has been called, also when the
  // end was asked by an event this very call ran.
  void Pump();

  void MarkEnding() { ending_ = true; }
  bool Ending() const { return ending_; }

  // Pump() as a callable for the components that take one; it refers to
  // this pump, which must outlive it.
  std::function<void()> Callback();

 private:
  std::function<void()> processEvents_;
  std::chrono::milliseconds interval_;
  std::chrono::steady_clock::time_point last_{};
  bool ending_ = false;
};

}  // namespace pelnor
