#pragma once

// A scripted POP3 server on 127.0.0.1 with an ephemeral port. It serves one
// connection in its own thread, plays the script, then keeps reading (and
// recording) what the client sends until the client closes.

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "pop3_script.h"

namespace pelnor::test {

class FakePop3Server {
 public:
  explicit FakePop3Server(Pop3Script script);
  FakePop3Server(const FakePop3Server&) = delete;
  FakePop3Server& operator=(const FakePop3Server&) = delete;
  ~FakePop3Server();

  int Port() const { return port_; }

  // Waits (at most `timeoutMs`) for the session to end, then stops the thread.
  // Returns false when the client never closed within that time.
  bool Finish(int timeoutMs = 5000);

  // Everything the client sent, byte for byte.
  std::string Received() const;
  // Script steps the client did not meet ("expected X, got Y").
  std::vector<std::string> Mismatches() const;
  // True once a client has connected.
  bool Accepted() const { return accepted_; }

 private:
  void Serve();
  bool Play(int fd);
  bool ReadLine(int fd, std::string& line);
  bool ReadMore(int fd);
  bool SleepUnlessStopped(int ms);
  void Mismatch(std::string text);

  Pop3Script script_;
  int listenFd_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<bool> done_{false};
  std::atomic<bool> accepted_{false};
  std::string pending_;  // client bytes not yet matched against the script
  mutable std::mutex mutex_;
  std::string received_;
  std::vector<std::string> mismatches_;
  std::thread thread_;
};

}  // namespace pelnor::test
