#pragma once

// The stream over a TLS connection. Decrypted bytes are kept in a buffer of
// its own, so WaitForData is true only when there is something to read (or
// the server has gone): a readable socket may carry a partial record or a
// session ticket and nothing for the caller.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/pop3/client_socket.h"
#include "core/pop3/read_batching.h"
#include "core/pop3/tls_connection.h"

namespace pelnor {

class TlsSocketStream final : public SocketStream {
 public:
  // `connection` outlives the stream.
  TlsSocketStream(TlsConnection& connection, int timeoutMs);

  bool WaitForData(int timeoutMs) override;
  std::size_t Read(char* buffer, std::size_t count) override;
  // Sends within the stream time-out; the rest of a write that did not fit
  // in it is not sent (the session's commands fit at once).
  std::size_t Write(const char* buffer, std::size_t count) override;
  void ExpectMore(std::uint64_t bytes) override { batching_.ExpectMore(bytes); }

 private:
  static constexpr std::size_t kBufferSize = 64 * 1024;

  enum class Decrypted { kData, kNothingYet, kClosed };
  Decrypted DecryptArrived();
  bool AwaitData(int timeoutMs);
  [[noreturn]] void Fail(const char* what) const;

  TlsConnection& connection_;
  int timeoutMs_;
  std::vector<char> buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool closed_ = false;
  ReadBatching batching_;
};

}  // namespace pelnor
