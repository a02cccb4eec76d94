#pragma once

// An in-process stand-in for the connection layer that plays a POP3 script
// without any socket. Each Send step becomes exactly one chunk on the read
// side (split only by the reader's count), so read boundaries are exact.
// It also records how the session configured it.

#include <chrono>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "core/pop3/client_socket.h"
#include "pop3_script.h"

namespace pelnor::test {

class ScriptedSocket final : public ClientSocket {
 public:
  explicit ScriptedSocket(Pop3Script script) : script_(std::move(script)) {}

  // Makes Open raise ESocketError with this text instead of connecting.
  void FailOpenWith(std::string text) { openFailure_ = std::move(text); }

  void Open() override;
  void Close() override;
  bool Active() const override { return active_; }
  std::unique_ptr<SocketStream> CreateStream(int timeoutMs) override;

  // What Open saw.
  int OpenCount() const { return openCount_; }
  int OpenedPort() const { return openedPort_; }
  const std::string& OpenedAddress() const { return openedAddress_; }
  const std::string& OpenedHostName() const { return openedHostName_; }

  std::string Received() const { return received_; }
  const std::vector<std::string>& Mismatches() const { return mismatches_; }
  // Number of reads that returned bytes.
  int ChunksRead() const { return chunksRead_; }

 private:
  friend class ScriptedStream;
  using Clock = std::chrono::steady_clock;

  struct Chunk {
    std::string Bytes;
    Clock::time_point ReadyAt;
  };

  void Advance();
  bool DataReady() const;
  // Time the next chunk (or the hang-up) becomes readable; max() when none.
  Clock::time_point NextReady() const;
  bool WaitForData(int timeoutMs);
  std::size_t Read(char* buffer, std::size_t count, int timeoutMs);
  std::size_t Write(const char* buffer, std::size_t count);

  Pop3Script script_;
  std::string openFailure_;
  bool active_ = false;
  std::size_t step_ = 0;
  Clock::time_point cursor_{};  // when the server's next output may appear
  std::deque<Chunk> chunks_;
  bool hangUp_ = false;
  Clock::time_point hangUpAt_{};
  std::string pending_;  // client bytes not yet matched
  std::string received_;
  std::vector<std::string> mismatches_;
  int openCount_ = 0;
  int openedPort_ = 0;
  std::string openedAddress_;
  std::string openedHostName_;
  int chunksRead_ = 0;
};

}  // namespace pelnor::test
