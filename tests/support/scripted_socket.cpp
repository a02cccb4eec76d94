#include "scripted_socket.h"

#include <algorithm>
#include <cstring>
#include <thread>

namespace pelnor::test {

class ScriptedStream final : public SocketStream {
 public:
  ScriptedStream(ScriptedSocket& socket, int timeoutMs)
      : socket_(socket), timeoutMs_(timeoutMs) {}

  bool WaitForData(int timeoutMs) override { return socket_.WaitForData(timeoutMs); }
  std::size_t Read(char* buffer, std::size_t count) override {
    return socket_.Read(buffer, count, timeoutMs_);
  }
  std::size_t Write(const char* buffer, std::size_t count) override {
    return socket_.Write(buffer, count);
  }

 private:
  ScriptedSocket& socket_;
  int timeoutMs_;
};

void ScriptedSocket::Open() {
  ++openCount_;
  openedPort_ = Port;
  openedAddress_ = Address;
  openedHostName_ = HostName;
  if (!openFailure_.empty()) throw ESocketError(openFailure_);
  active_ = true;
  cursor_ = Clock::now();
  Advance();
  NotifyConnected();
}

void ScriptedSocket::Close() {
  if (!active_) return;
  active_ = false;
  NotifyDisconnected();
}

std::unique_ptr<SocketStream> ScriptedSocket::CreateStream(int timeoutMs) {
  if (!active_) throw ESocketError("scripted socket: not open");
  return std::make_unique<ScriptedStream>(*this, timeoutMs);
}

// Plays the script as far as the client's input allows.
void ScriptedSocket::Advance() {
  const auto& steps = script_.Steps();
  while (!hangUp_ && step_ < steps.size()) {
    const ServerStep& step = steps[step_];
    if (step.Kind == ServerStep::skExpect) {
      const auto end = pending_.find("\r\n");
      if (end == std::string::npos) return;
      const std::string line = pending_.substr(0, end);
      pending_.erase(0, end + 2);
      if (line != step.Data) {
        mismatches_.push_back("expected \"" + step.Data + "\", got \"" + line + "\"");
        hangUp_ = true;
        hangUpAt_ = cursor_;
        return;
      }
      cursor_ = std::max(cursor_, Clock::now());
    } else if (step.Kind == ServerStep::skSend) {
      chunks_.push_back({step.Data, cursor_});
    } else if (step.Kind == ServerStep::skPause) {
      cursor_ += std::chrono::milliseconds(step.Ms);
    } else {
      hangUp_ = true;
      hangUpAt_ = cursor_;
    }
    ++step_;
  }
}

bool ScriptedSocket::DataReady() const {
  const auto now = Clock::now();
  if (!chunks_.empty()) return chunks_.front().ReadyAt <= now;
  return hangUp_ && hangUpAt_ <= now;
}

ScriptedSocket::Clock::time_point ScriptedSocket::NextReady() const {
  if (!chunks_.empty()) return chunks_.front().ReadyAt;
  if (hangUp_) return hangUpAt_;
  return Clock::time_point::max();
}

bool ScriptedSocket::WaitForData(int timeoutMs) {
  const auto limit = Clock::now() + std::chrono::milliseconds(timeoutMs);
  const auto next = NextReady();
  if (next > limit) {
    std::this_thread::sleep_until(limit);
    return false;
  }
  std::this_thread::sleep_until(next);
  return true;
}

std::size_t ScriptedSocket::Read(char* buffer, std::size_t count, int timeoutMs) {
  if (!DataReady() && !WaitForData(timeoutMs)) return 0;
  if (chunks_.empty()) return 0;  // hung up
  std::string& front = chunks_.front().Bytes;
  const std::size_t n = std::min(count, front.size());
  std::memcpy(buffer, front.data(), n);
  front.erase(0, n);
  if (front.empty()) chunks_.pop_front();
  if (n > 0) ++chunksRead_;
  return n;
}

std::size_t ScriptedSocket::Write(const char* buffer, std::size_t count) {
  received_.append(buffer, count);
  pending_.append(buffer, count);
  Advance();
  return count;
}

}  // namespace pelnor::test
