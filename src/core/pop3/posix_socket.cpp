#include "core/pop3/posix_socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>
#include <vector>

#include "core/pop3/read_batching.h"
#include "core/pop3/time_left.h"
#include "core/text/error_text.h"

namespace pelnor {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kConnectSliceMs = 200;

// Why a name look-up failed, in our words: the resolver's own texts follow
// the desktop's language.
std::string LookupFailureText(int rc, int err) {
  switch (rc) {
    case EAI_NONAME:
#ifdef EAI_NODATA
    case EAI_NODATA:
#endif
      return "no such host";
#ifdef EAI_ADDRFAMILY
    case EAI_ADDRFAMILY:
      return "no address";
#endif
    case EAI_AGAIN:
      return "the name service did not answer";
    case EAI_FAIL:
      return "the name service failed";
    case EAI_MEMORY:
      return "out of memory";
    case EAI_SYSTEM:
      return ErrorText(err);
    default:
      return "look-up error " + std::to_string(rc);
  }
}

std::string DurationText(int ms) {
  return ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
}

// Waits for `events` on `fd`; EINTR counts as "not yet".
int PollOne(int fd, short events, int timeoutMs) {
  pollfd p{fd, events, 0};
  const int rc = ::poll(&p, 1, timeoutMs);
  if (rc < 0) return errno == EINTR ? 0 : -1;
  return rc;
}

// Reads the socket in large pieces and serves them in the small reads the
// session asks for: one system call per 64 KB instead of three per 1 KB.
class PosixSocketStream final : public SocketStream {
 public:
  PosixSocketStream(int fd, int timeoutMs, std::string target)
      : fd_(fd),
        timeoutMs_(timeoutMs),
        target_(std::move(target)),
        buffer_(kBufferSize),
        batching_(fd) {}

  bool WaitForData(int timeoutMs) override {
    if (begin_ < end_) return true;
    const int rc = batching_.AwaitReadable(timeoutMs);
    if (rc < 0) Fail("wait for data", errno);
    return rc > 0;
  }

  std::size_t Read(char* buffer, std::size_t count) override {
    if (begin_ == end_ && !Fill()) return 0;
    const std::size_t n = std::min(count, end_ - begin_);
    std::memcpy(buffer, buffer_.data() + begin_, n);
    begin_ += n;
    return n;
  }

  // Sends first and waits only when the socket's buffer is full: a command
  // nearly always fits, so the wait would cost a system call for nothing.
  // The whole call stays within the stream time-out.
  std::size_t Write(const char* buffer, std::size_t count) override {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs_);
    std::size_t written = 0;
    while (written < count) {
      const ssize_t n =
          ::send(fd_, buffer + written, count - written, MSG_NOSIGNAL | MSG_DONTWAIT);
      if (n >= 0) {
        written += static_cast<std::size_t>(n);
        continue;
      }
      if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK) Fail("write", errno);
      const int left = MillisecondsUntil(deadline);
      if (left == 0) break;
      const int rc = PollOne(fd_, POLLOUT, left);
      if (rc < 0) Fail("write", errno);
      if (rc == 0 && Clock::now() >= deadline) break;
    }
    return written;
  }

  void ExpectMore(std::uint64_t bytes) override { batching_.ExpectMore(bytes); }

 private:
  static constexpr std::size_t kBufferSize = 64 * 1024;

  // False when nothing arrived within the time-out or the peer hung up.
  bool Fill() {
    begin_ = end_ = 0;
    ssize_t n = ::recv(fd_, buffer_.data(), buffer_.size(), MSG_DONTWAIT);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
      const int rc = batching_.AwaitReadable(timeoutMs_);
      if (rc < 0) Fail("read", errno);
      if (rc == 0) return false;
      n = ::recv(fd_, buffer_.data(), buffer_.size(), MSG_DONTWAIT);
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return false;
    }
    if (n < 0) Fail("read", errno);
    end_ = static_cast<std::size_t>(n);
    return n > 0;
  }

  [[noreturn]] void Fail(const char* what, int err) const {
    throw ESocketError("Socket " + std::string(what) + " failed on " + target_ + ": " +
                       ErrorText(err));
  }

  int fd_;
  int timeoutMs_;
  std::string target_;
  std::vector<char> buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  ReadBatching batching_;
};

// Closes a descriptor unless released; keeps Open's failure paths short.
class FdGuard {
 public:
  explicit FdGuard(int fd) : fd_(fd) {}
  FdGuard(const FdGuard&) = delete;
  FdGuard& operator=(const FdGuard&) = delete;
  ~FdGuard() {
    if (fd_ >= 0) ::close(fd_);
  }
  int Get() const { return fd_; }
  int Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

// Waits for a connect in progress in slices, calling `onWaiting` between
// them. 0 once the connect has finished (SO_ERROR tells how), else the
// errno (ETIMEDOUT when the deadline passed).
int AwaitConnect(int fd, Clock::time_point deadline, const std::function<void()>& onWaiting) {
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return ETIMEDOUT;
    const int slice = static_cast<int>(std::min<long long>(left, kConnectSliceMs));
    const int rc = PollOne(fd, POLLOUT, slice);
    if (rc < 0) return errno;
    if (rc > 0) return 0;
    if (onWaiting) onWaiting();
  }
}

// Connects one address within the deadline, calling `onWaiting` between the
// slices of the wait. Returns the open descriptor, or -1 with `err` set
// (ETIMEDOUT when the deadline passed).
int ConnectBounded(const sockaddr_storage& addr, socklen_t length, Clock::time_point deadline,
                   const std::function<void()>& onWaiting, int& err) {
  FdGuard fd(::socket(addr.ss_family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  if (fd.Get() < 0) {
    err = errno;
    return -1;
  }
  if (::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&addr), length) < 0) {
    if (errno != EINPROGRESS) {
      err = errno;
      return -1;
    }
    err = AwaitConnect(fd.Get(), deadline, onWaiting);
    if (err != 0) return -1;
    int soError = 0;
    socklen_t len = sizeof soError;
    ::getsockopt(fd.Get(), SOL_SOCKET, SO_ERROR, &soError, &len);
    if (soError != 0) {
      err = soError;
      return -1;
    }
  }
  // Back to blocking: the stream bounds each call with poll itself.
  const int flags = ::fcntl(fd.Get(), F_GETFL);
  ::fcntl(fd.Get(), F_SETFL, flags & ~O_NONBLOCK);
  const int one = 1;
  ::setsockopt(fd.Get(), IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  return fd.Release();
}

struct Candidate {
  sockaddr_storage Address{};
  socklen_t Length = 0;
};

// A numeric IPv4 or IPv6 address; nothing for anything else.
std::optional<Candidate> NumericAddress(const std::string& text, int port) {
  Candidate c;
  auto* v4 = reinterpret_cast<sockaddr_in*>(&c.Address);
  auto* v6 = reinterpret_cast<sockaddr_in6*>(&c.Address);
  if (::inet_pton(AF_INET, text.c_str(), &v4->sin_addr) == 1) {
    v4->sin_family = AF_INET;
    v4->sin_port = htons(static_cast<uint16_t>(port));
    c.Length = sizeof *v4;
    return c;
  }
  if (::inet_pton(AF_INET6, text.c_str(), &v6->sin6_addr) == 1) {
    v6->sin6_family = AF_INET6;
    v6->sin6_port = htons(static_cast<uint16_t>(port));
    c.Length = sizeof *v6;
    return c;
  }
  return std::nullopt;
}

// Every address the name stands for, IPv4 and IPv6, in the resolver's order.
std::vector<Candidate> Resolve(const std::string& host, int port) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const std::string service = std::to_string(port);
  const int rc = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
  const int lookupErrno = errno;
  if (rc != 0)
    throw ESocketError("Cannot resolve host name " + host + ": " +
                       LookupFailureText(rc, lookupErrno));
  std::vector<Candidate> candidates;
  for (addrinfo* a = found; a; a = a->ai_next) {
    if (a->ai_addrlen > sizeof(sockaddr_storage)) continue;
    Candidate c;
    std::memcpy(&c.Address, a->ai_addr, a->ai_addrlen);
    c.Length = a->ai_addrlen;
    candidates.push_back(c);
  }
  ::freeaddrinfo(found);
  if (candidates.empty()) throw ESocketError("Cannot resolve host name " + host + ": no address");
  return candidates;
}

}  // namespace

PosixClientSocket::~PosixClientSocket() {
  if (fd_ >= 0) ::close(fd_);
}

void PosixClientSocket::Open() {
  if (Active()) Close();
  const std::string target = Target();
  if (Port < 1 || Port > 65535)
    throw ESocketError("Cannot connect to " + target + ": invalid port number");

  std::vector<Candidate> candidates;
  if (!Address.empty()) {
    std::optional<Candidate> numeric = NumericAddress(Address, Port);
    if (!numeric) throw ESocketError("Cannot connect to " + target + ": not a numeric address");
    candidates.push_back(*numeric);
  } else {
    if (HostName.empty()) throw ESocketError("Cannot connect: no host name given");
    candidates = Resolve(HostName, Port);
  }

  const auto deadline = Clock::now() + std::chrono::milliseconds(ConnectTimeoutMs);
  int err = 0;
  for (const Candidate& candidate : candidates) {
    fd_ = ConnectBounded(candidate.Address, candidate.Length, deadline, OnWaiting, err);
    if (fd_ >= 0) break;
    if (err == ETIMEDOUT) break;
  }
  if (fd_ < 0) {
    const std::string reason = err == ETIMEDOUT
        ? "no answer within " + DurationText(ConnectTimeoutMs)
        : ErrorText(err);
    throw ESocketError("Cannot connect to " + target + ": " + reason);
  }
  NotifyConnected();
}

void PosixClientSocket::Close() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
  NotifyDisconnected();
}

std::unique_ptr<SocketStream> PosixClientSocket::CreateStream(int timeoutMs) {
  if (fd_ < 0) throw ESocketError("Cannot use " + Target() + ": the socket is not open");
  return std::make_unique<PosixSocketStream>(fd_, timeoutMs, Target());
}

}  // namespace pelnor
