#pragma once

// The real TCP connection layer over POSIX sockets, IPv4 and IPv6.

#include "core/pop3/client_socket.h"

namespace pelnor {

class PosixClientSocket final : public ClientSocket {
 public:
  PosixClientSocket() = default;
  PosixClientSocket(const PosixClientSocket&) = delete;
  PosixClientSocket& operator=(const PosixClientSocket&) = delete;
  // Releases the descriptor quietly: nobody listens any more.
  ~PosixClientSocket() override;

  void Open() override;
  void Close() override;
  bool Active() const override { return fd_ >= 0; }
  // The open connection's descriptor (-1 when closed), for a TLS layer over it.
  int Descriptor() const { return fd_; }
  std::unique_ptr<SocketStream> CreateStream(int timeoutMs) override;

 private:
  int fd_ = -1;
};

}  // namespace pelnor
