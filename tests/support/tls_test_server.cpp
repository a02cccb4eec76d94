#include "tls_test_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace pelnor::test {

TlsTestServer::TlsTestServer(const std::string& certFile, const std::string& keyFile,
                             Session session) {
  context_ = SSL_CTX_new(TLS_server_method());
  if (!context_ || SSL_CTX_use_certificate_chain_file(context_, certFile.c_str()) != 1 ||
      SSL_CTX_use_PrivateKey_file(context_, keyFile.c_str(), SSL_FILETYPE_PEM) != 1)
    throw std::runtime_error("TLS test server: cannot load " + certFile);
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  if (listenFd_ < 0 || ::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), len) != 0 ||
      ::listen(listenFd_, 1) != 0 ||
      ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
    throw std::runtime_error("TLS test server: cannot listen on 127.0.0.1");
  port_ = ntohs(addr.sin_port);
  thread_ = std::thread([this, session = std::move(session)] { Serve(session); });
}

TlsTestServer::~TlsTestServer() {
  if (thread_.joinable()) thread_.join();
  ::close(listenFd_);
  SSL_CTX_free(context_);
}

void TlsTestServer::Serve(Session session) {
  pollfd p{listenFd_, POLLIN, 0};
  if (::poll(&p, 1, 10000) <= 0) return;
  const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
  if (fd < 0) return;
  SSL* ssl = SSL_new(context_);
  SSL_set_fd(ssl, fd);
  if (SSL_accept(ssl) == 1) {
    handshaken_ = true;
    session(ssl);
  }
  SSL_free(ssl);
  ::close(fd);
}

void TlsTestServer::SendLine(SSL* ssl, const std::string& line) {
  const std::string bytes = line + "\r\n";
  SSL_write(ssl, bytes.data(), static_cast<int>(bytes.size()));
}

std::string TlsTestServer::ReadLine(SSL* ssl) {
  std::string line;
  char c = 0;
  while (SSL_read(ssl, &c, 1) == 1) {
    if (c == '\n') break;
    if (c != '\r') line += c;
  }
  return line;
}

}  // namespace pelnor::test
