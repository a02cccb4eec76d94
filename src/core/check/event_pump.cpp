#include "core/check/event_pump.h"

#include <utility>

namespace pelnor {

EventPump::EventPump(std::function<void()> processEvents, std::chrono::milliseconds interval)
    : processEvents_(std::move(processEvents)), interval_(interval) {}

void EventPump::Pump() {
  if (ending_) throw EProgramEnding();
  if (std::chrono::steady_clock::now() - last_ < interval_) return;
  if (processEvents_) processEvents_();
  last_ = std::chrono::steady_clock::now();
  if (ending_) throw EProgramEnding();
}

std::function<void()> EventPump::Callback() {
  return [this] { Pump(); };
}

}  // namespace pelnor
