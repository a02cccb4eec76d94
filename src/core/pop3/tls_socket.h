#pragma once

// The connection layer the program uses: TCP through PosixClientSocket, and
// TLS over it on OpenSSL 3 when the socket's Tls asks for it, from the
// start (kImplicit, during Open) or after STLS (StartTls).
//
// TLS 1.2 or newer, the server name sent (SNI) for a host name. The chain is
// verified against OpenSSL's default verify paths (the system's trust
// store; SSL_CERT_FILE and SSL_CERT_DIR as for every OpenSSL program) and
// the host name, or the IP address, checked against the certificate. A
// pinned certificate replaces both checks: exactly that certificate is
// accepted for the server, and any other refused. Every refusal raises
// ECertificateError before a byte of ours has gone over the connection.
//
// The handshake waits in slices of at most 200 ms, calling OnWaiting
// between them, and gives up after HandshakeTimeoutMs.

#include <memory>
#include <optional>

#include "core/pop3/client_socket.h"
#include "core/pop3/posix_socket.h"

namespace pelnor {

class TlsConnection;

class TlsClientSocket final : public ClientSocket {
 public:
  TlsClientSocket();
  TlsClientSocket(const TlsClientSocket&) = delete;
  TlsClientSocket& operator=(const TlsClientSocket&) = delete;
  ~TlsClientSocket() override;

  void Open() override;
  void Close() override;
  bool Active() const override { return tcp_.Active(); }
  std::unique_ptr<SocketStream> CreateStream(int timeoutMs) override;
  void StartTls() override;
  std::optional<CertificateInfo> PeerCertificate() const override;

 private:
  void Handshake();

  PosixClientSocket tcp_;
  std::unique_ptr<TlsConnection> tls_;
};

}  // namespace pelnor
