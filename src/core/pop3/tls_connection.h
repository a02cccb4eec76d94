#pragma once

// One TLS session on OpenSSL over a connected descriptor: the handshake with
// its checks, and what the stream needs to read and write. Kept apart so
// that OpenSSL's types stay out of the socket's header.

#include <openssl/ssl.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "core/pop3/client_socket.h"

namespace pelnor {

class TlsConnection {
 public:
  using Clock = std::chrono::steady_clock;

  // `target` names the server in messages. The descriptor stays the
  // caller's; it is switched to non-blocking.
  TlsConnection(int fd, std::string target);
  TlsConnection(const TlsConnection&) = delete;
  TlsConnection& operator=(const TlsConnection&) = delete;
  // Says goodbye (close_notify) without waiting for the answer.
  ~TlsConnection();

  // Shakes hands and judges the certificate: against `pin` when one is
  // given, else against the trust store and `host`. Raises
  // ECertificateError for a refused certificate or a broken handshake,
  // ESocketError when the server does not complete it by `deadline`.
  void Handshake(const std::string& host, const std::string& pin, Clock::time_point deadline,
                 const std::function<void()>& onWaiting);

  SSL* Ssl() const { return ssl_; }
  int Descriptor() const { return fd_; }
  const std::string& Target() const { return target_; }
  const std::optional<CertificateInfo>& Certificate() const { return certificate_; }

 private:
  void NameTheServer(const std::string& host);
  void AwaitHandshake(Clock::time_point deadline, const std::function<void()>& onWaiting);
  void JudgeCertificate(const std::string& host, const std::string& pin);

  int fd_;
  std::string target_;
  SSL_CTX* context_ = nullptr;
  SSL* ssl_ = nullptr;
  bool established_ = false;
  std::optional<CertificateInfo> certificate_;
};

// OpenSSL's error queue as one line (emptied), or `fallback` when it holds
// nothing.
std::string OpenSslErrors(const std::string& fallback);

// Waits for what SSL_get_error asked for (read or write) at most
// `timeoutMs`; false when the time passed. Raises ESocketError when poll
// fails.
bool AwaitSocket(int fd, int sslError, int timeoutMs, const std::string& target);

}  // namespace pelnor
