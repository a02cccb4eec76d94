#pragma once

// A TLS server on 127.0.0.1 for the client's own tests: it accepts one
// connection, shakes hands with the given certificate and then lets the
// test's function talk over the TLS session (SSL_read / SSL_write, blocking)
// in its own thread. When the function returns, the connection is closed
// without the TLS goodbye, as a server that goes away does.

#include <openssl/ssl.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace pelnor::test {

class TlsTestServer {
 public:
  using Session = std::function<void(SSL* ssl)>;

  TlsTestServer(const std::string& certFile, const std::string& keyFile, Session session);
  TlsTestServer(const TlsTestServer&) = delete;
  TlsTestServer& operator=(const TlsTestServer&) = delete;
  // Waits for the session's thread.
  ~TlsTestServer();

  int Port() const { return port_; }
  // True once the handshake with a client succeeded.
  bool Handshaken() const { return handshaken_; }

  // Helpers for sessions: one line out, one line in (without CR LF; empty
  // when the client went away).
  static void SendLine(SSL* ssl, const std::string& line);
  static std::string ReadLine(SSL* ssl);

 private:
  void Serve(Session session);

  SSL_CTX* context_ = nullptr;
  int listenFd_ = -1;
  int port_ = 0;
  std::atomic<bool> handshaken_{false};
  std::thread thread_;
};

}  // namespace pelnor::test
