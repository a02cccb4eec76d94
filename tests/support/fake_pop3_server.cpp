#include "fake_pop3_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>

namespace pelnor::test {

namespace {

constexpr int kSliceMs = 20;

bool WaitReadable(int fd, int ms) {
  pollfd p{fd, POLLIN, 0};
  return ::poll(&p, 1, ms) > 0;
}

bool SendAll(int fd, const std::string& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

FakePop3Server::FakePop3Server(Pop3Script script) : script_(std::move(script)) {
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  socklen_t len = sizeof addr;
  if (listenFd_ < 0 || ::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), len) != 0 ||
      ::listen(listenFd_, 4) != 0 ||
      ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
    if (listenFd_ >= 0) ::close(listenFd_);
    throw std::runtime_error("fake POP3 server: cannot listen on 127.0.0.1");
  }
  port_ = ntohs(addr.sin_port);
  thread_ = std::thread([this] { Serve(); });
}

FakePop3Server::~FakePop3Server() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  ::close(listenFd_);
}

bool FakePop3Server::Finish(int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done_ && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  const bool ended = done_;
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  return ended;
}

std::string FakePop3Server::Received() const {
  std::lock_guard lock(mutex_);
  return received_;
}

std::vector<std::string> FakePop3Server::Mismatches() const {
  std::lock_guard lock(mutex_);
  return mismatches_;
}

void FakePop3Server::Mismatch(std::string text) {
  std::lock_guard lock(mutex_);
  mismatches_.push_back(std::move(text));
}

void FakePop3Server::Serve() {
  while (!stop_ && !WaitReadable(listenFd_, kSliceMs)) {
  }
  if (stop_) {
    done_ = true;
    return;
  }
  const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
  if (fd < 0) {
    done_ = true;
    return;
  }
  accepted_ = true;
  const int one = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  if (Play(fd)) {
    // Script done: record the rest of what the client says until it hangs up.
    while (!stop_ && ReadMore(fd)) {
    }
  }
  ::close(fd);
  done_ = true;
}

// Returns false when the connection ended during the script.
bool FakePop3Server::Play(int fd) {
  for (const ServerStep& step : script_.Steps()) {
    switch (step.Kind) {
      case ServerStep::skSend:
        if (!SendAll(fd, step.Data)) return false;
        break;
      case ServerStep::skPause:
        if (!SleepUnlessStopped(step.Ms)) return false;
        break;
      case ServerStep::skClose:
        return false;
      case ServerStep::skExpect: {
        std::string line;
        if (!ReadLine(fd, line)) {
          Mismatch("expected \"" + step.Data + "\", the client sent nothing more");
          return false;
        }
        if (line != step.Data) {
          Mismatch("expected \"" + step.Data + "\", got \"" + line + "\"");
          return false;
        }
        break;
      }
    }
  }
  return true;
}

bool FakePop3Server::ReadLine(int fd, std::string& line) {
  for (;;) {
    const auto end = pending_.find("\r\n");
    if (end != std::string::npos) {
      line = pending_.substr(0, end);
      pending_.erase(0, end + 2);
      return true;
    }
    if (stop_ || !ReadMore(fd)) return false;
  }
}

// Reads one slice of client bytes; false on hang-up or stop.
bool FakePop3Server::ReadMore(int fd) {
  while (!stop_) {
    if (!WaitReadable(fd, kSliceMs)) continue;
    char buffer[4096];
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) return false;
    pending_.append(buffer, static_cast<std::size_t>(n));
    std::lock_guard lock(mutex_);
    received_.append(buffer, static_cast<std::size_t>(n));
    return true;
  }
  return false;
}

bool FakePop3Server::SleepUnlessStopped(int ms) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!stop_ && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(std::min(ms, 5)));
  return !stop_;
}

}  // namespace pelnor::test
