// Throttled event pump for the attachment decoders.

#include "mime/VekParser.h"

namespace pelnor {

void TVekParser::Pump() {
  if (!OnProcessMessages) return;
  // Reading the clock on every decoded group would cost more than the
  // decoding; every 64th call is often enough to keep to the interval.
  if (++pumpTicks_ % 64 != 0) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - lastPump_ < PumpInterval) return;
  lastPump_ = now;
  OnProcessMessages();
}

}  // namespace pelnor
