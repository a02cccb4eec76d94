// Throttled event pump for the attachment decoders.

#include <time.h>

#include "core/mime/mail_parser.h"

namespace pelnor {
namespace {

// The coarse clock costs a few nanoseconds (a plain read, no syscall) and
// ticks every few milliseconds: fine enough for a 20 ms interval.
std::int64_t CoarseNowNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC_COARSE, &ts);
  return std::int64_t{ts.tv_sec} * 1'000'000'000 + ts.tv_nsec;
}

}  // namespace

void MailParser::Pump() {
  if (!OnProcessMessages) return;
  // Decoders call this per line; looking at the clock on every 16th call
  // keeps its cost out of the decoding speed.
  if (++pumpTicks_ % 16 != 0) return;
  const std::int64_t now = CoarseNowNs();
  if (now - lastPumpNs_ < PumpIntervalNs) return;
  lastPumpNs_ = now;
  OnProcessMessages();
}

}  // namespace pelnor
