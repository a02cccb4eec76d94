#include "core/pop3/read_batching.h"

#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "core/pop3/time_left.h"

namespace pelnor {
namespace {

using Clock = std::chrono::steady_clock;

// EINTR counts as "not yet".
int PollIn(int fd, int timeoutMs) {
  pollfd p{fd, POLLIN, 0};
  const int rc = ::poll(&p, 1, std::max(timeoutMs, 0));
  if (rc < 0) return errno == EINTR ? 0 : -1;
  return rc;
}

}  // namespace

void ReadBatching::ExpectMore(std::uint64_t bytes) {
  if (bytes == 0) {
    gaveUp_ = false;
    heldMs_ = 0;
  }
  const bool batch = !gaveUp_ && bytes >= kBatch + kEndMargin;
  HoldBackUntil(batch ? kBatch : 1);
}

void ReadBatching::HoldBackUntil(int bytes) {
  if (bytes == lowWater_) return;
  // Only a hint: where the kernel refuses it, every packet wakes us as before.
  ::setsockopt(fd_, SOL_SOCKET, SO_RCVLOWAT, &bytes, sizeof bytes);
  lowWater_ = bytes;
}

int ReadBatching::AwaitReadable(int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
  for (;;) {
    if (lowWater_ == 1) return PollIn(fd_, MillisecondsUntil(deadline));
    const auto sliceStart = Clock::now();
    const int rc = PollIn(fd_, std::min(MillisecondsUntil(deadline), kPatienceMs - heldMs_));
    if (rc != 0) {
      heldMs_ = 0;
      return rc;
    }
    heldMs_ += static_cast<int>(
        std::chrono::ceil<std::chrono::milliseconds>(Clock::now() - sliceStart).count());
    if (heldMs_ >= kPatienceMs) {
      // No whole batch in that time: the server sends slowly or less than
      // it announced. Whatever comes wakes us again, to the answer's end.
      heldMs_ = 0;
      gaveUp_ = true;
      HoldBackUntil(1);
    } else if (MillisecondsUntil(deadline) == 0) {
      return 0;
    }
  }
}

}  // namespace pelnor
