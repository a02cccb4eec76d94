#include "core/pop3/tls_stream.h"

#include <openssl/err.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>

#include "core/pop3/time_left.h"
#include "core/text/error_text.h"

namespace pelnor {
namespace {

using Clock = std::chrono::steady_clock;

}  // namespace

TlsSocketStream::TlsSocketStream(TlsConnection& connection, int timeoutMs)
    : connection_(connection),
      timeoutMs_(timeoutMs),
      buffer_(kBufferSize),
      batching_(connection.Descriptor()) {}

// Decrypts whatever has arrived, record after record, without waiting.
TlsSocketStream::Decrypted TlsSocketStream::DecryptArrived() {
  if (begin_ < end_) return Decrypted::kData;
  if (closed_) return Decrypted::kClosed;
  begin_ = end_ = 0;
  SSL* ssl = connection_.Ssl();
  while (end_ < buffer_.size()) {
    ERR_clear_error();
    errno = 0;
    std::size_t n = 0;
    if (SSL_read_ex(ssl, buffer_.data() + end_, buffer_.size() - end_, &n) == 1) {
      end_ += n;
      continue;
    }
    const int error = SSL_get_error(ssl, 0);
    if (error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE) break;
    if (error == SSL_ERROR_ZERO_RETURN) {
      closed_ = true;
      break;
    }
    if (error == SSL_ERROR_SYSCALL && ERR_peek_error() == 0 && errno == 0) {
      closed_ = true;
      break;
    }
    Fail("read");
  }
  if (end_ > 0) return Decrypted::kData;
  return closed_ ? Decrypted::kClosed : Decrypted::kNothingYet;
}

// True once there are bytes to read or the server has closed.
bool TlsSocketStream::AwaitData(int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (DecryptArrived() != Decrypted::kNothingYet) return true;
    const int left = MillisecondsUntil(deadline);
    if (left == 0) return false;
    const int rc = batching_.AwaitReadable(left);
    if (rc < 0)
      throw ESocketError("Socket wait failed on " + connection_.Target() + ": " +
                         ErrorText(errno));
    if (rc == 0 && MillisecondsUntil(deadline) == 0) return false;
  }
}

bool TlsSocketStream::WaitForData(int timeoutMs) { return AwaitData(timeoutMs); }

std::size_t TlsSocketStream::Read(char* buffer, std::size_t count) {
  if (begin_ == end_ && !AwaitData(timeoutMs_)) return 0;
  const std::size_t n = std::min(count, end_ - begin_);
  std::memcpy(buffer, buffer_.data() + begin_, n);
  begin_ += n;
  return n;
}

std::size_t TlsSocketStream::Write(const char* buffer, std::size_t count) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs_);
  SSL* ssl = connection_.Ssl();
  std::size_t written = 0;
  while (written < count) {
    ERR_clear_error();
    errno = 0;
    std::size_t n = 0;
    if (SSL_write_ex(ssl, buffer + written, count - written, &n) == 1) {
      written += n;
      continue;
    }
    const int error = SSL_get_error(ssl, 0);
    if (error != SSL_ERROR_WANT_READ && error != SSL_ERROR_WANT_WRITE) Fail("write");
    const int left = MillisecondsUntil(deadline);
    if (left == 0) break;
    AwaitSocket(connection_.Descriptor(), error, left, connection_.Target());
  }
  return written;
}

void TlsSocketStream::Fail(const char* what) const {
  const std::string why = ERR_peek_error() != 0 ? OpenSslErrors("")
                          : errno != 0          ? ErrorText(errno)
                                                : "the connection broke down";
  throw ESocketError("TLS " + std::string(what) + " failed on " + connection_.Target() + ": " +
                     why);
}

}  // namespace pelnor
