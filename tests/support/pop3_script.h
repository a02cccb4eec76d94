#pragma once

// A recorded POP3 conversation as the server plays it: what it sends, which
// client line it waits for, where it pauses and where it cuts the line.
// Played by the loopback server and by the in-process scripted socket alike.

#include <string>
#include <utility>
#include <vector>

namespace pelnor::test {

struct ServerStep {
  enum Kind { skSend, skExpect, skPause, skClose };
  Kind Kind = skSend;
  std::string Data;  // bytes to send, or the client line expected (no CR LF)
  int Ms = 0;        // length of a pause
};

class Pop3Script {
 public:
  // One write of exactly these bytes.
  Pop3Script& Send(std::string bytes) {
    steps_.push_back({ServerStep::skSend, std::move(bytes), 0});
    return *this;
  }
  // Waits for the next client line and records a mismatch if it differs.
  Pop3Script& Expect(std::string line) {
    steps_.push_back({ServerStep::skExpect, std::move(line), 0});
    return *this;
  }
  Pop3Script& Pause(int ms) {
    steps_.push_back({ServerStep::skPause, {}, ms});
    return *this;
  }
  // Closes the connection from the server's side.
  Pop3Script& Close() {
    steps_.push_back({ServerStep::skClose, {}, 0});
    return *this;
  }
  // The usual pair: a client command and the whole reply to it.
  Pop3Script& On(std::string line, std::string reply) {
    return Expect(std::move(line)).Send(std::move(reply));
  }
  // Sends the pieces as separate writes with a pause between them, so the
  // client meets them in separate reads.
  Pop3Script& SendSplit(const std::vector<std::string>& pieces, int pauseMs) {
    for (std::size_t i = 0; i < pieces.size(); ++i) {
      if (i > 0) Pause(pauseMs);
      Send(pieces[i]);
    }
    return *this;
  }

  const std::vector<ServerStep>& Steps() const { return steps_; }

 private:
  std::vector<ServerStep> steps_;
};

}  // namespace pelnor::test
