#pragma once

// The real connection layer over POSIX sockets.

#include "pop3/client_socket.h"

namespace pelnor {

class TPosixClientSocket final : public TClientSocket {
 public:
  TPosixClientSocket() = default;
  TPosixClientSocket(const TPosixClientSocket&) = delete;
  TPosixClientSocket& operator=(const TPosixClientSocket&) = delete;
  // Releases the descriptor quietly: nobody listens any more.
  ~TPosixClientSocket() override;

  void Open() override;
  void Close() override;
  bool Active() const override { return fd_ >= 0; }
  std::unique_ptr<TSocketStream> CreateStream(int timeoutMs) override;

 private:
  int fd_ = -1;
};

}  // namespace pelnor
