#pragma once

// Waits for a socket to become readable, and, while the reader knows that a
// long answer is on its way, lets the kernel hold the wake-up back until a
// batch of it has arrived (SO_RCVLOWAT). A 5 MB mail then costs a poll and a
// read per 64 KB instead of per network packet: at local speed most of a
// fetch's processor time went into those wake-ups, taken from the server.

#include <cstdint>

namespace pelnor {

class ReadBatching {
 public:
  // What is held back at most, and how far from the end of an answer the
  // batches stop: the end must wake the reader whatever is left, and the
  // size a server announces can be off by what it stuffs or what the
  // reader's buffers already hold.
  static constexpr int kBatch = 64 * 1024;
  static constexpr std::uint64_t kEndMargin = 128 * 1024;
  // A batch that takes longer than this is not waited for again in this
  // answer: the server sends slowly or less than it announced.
  static constexpr int kPatienceMs = 100;

  explicit ReadBatching(int fd) : fd_(fd) {}
  ReadBatching(const ReadBatching&) = delete;
  ReadBatching& operator=(const ReadBatching&) = delete;

  // About `bytes` more of the answer are still to come; 0 when it has
  // ended (or is of unknown length).
  void ExpectMore(std::uint64_t bytes);
  // Waits up to `timeoutMs` for something to read: 1 when there is (or the
  // peer has closed), 0 when the time ran out, -1 with errno on failure.
  int AwaitReadable(int timeoutMs);

 private:
  void HoldBackUntil(int bytes);

  int fd_;
  int lowWater_ = 1;
  bool gaveUp_ = false;
  int heldMs_ = 0;  // waited so far for the batch now held back
};

}  // namespace pelnor
