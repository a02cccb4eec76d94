#include "core/pop3/tls_connection.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>

#include <openssl/err.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <cerrno>
#include <memory>

#include "core/pop3/time_left.h"
#include "core/pop3/tls_certificate.h"
#include "core/text/error_text.h"

namespace pelnor {
namespace {

constexpr int kSliceMs = 200;

bool IsNumericAddress(const std::string& host) {
  unsigned char buffer[sizeof(in6_addr)];
  return ::inet_pton(AF_INET, host.c_str(), buffer) == 1 ||
         ::inet_pton(AF_INET6, host.c_str(), buffer) == 1;
}

// The socket BIO's write with MSG_NOSIGNAL: a server that has gone away
// must fail the write, not end the program with SIGPIPE.
int SendWithoutSignal(BIO* bio, const char* data, int length) {
  int fd = -1;
  BIO_get_fd(bio, &fd);
  BIO_clear_retry_flags(bio);
  const ssize_t n = ::send(fd, data, static_cast<std::size_t>(length), MSG_NOSIGNAL);
  if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
    BIO_set_retry_write(bio);
  return static_cast<int>(n);
}

// OpenSSL's socket BIO with SendWithoutSignal for its writes.
const BIO_METHOD* SocketWithoutSignal() {
  static BIO_METHOD* const method = [] {
    const BIO_METHOD* socket = BIO_s_socket();
    BIO_METHOD* m = BIO_meth_new(BIO_TYPE_SOCKET, "socket without SIGPIPE");
    if (!m) return m;
    BIO_meth_set_write(m, SendWithoutSignal);
    BIO_meth_set_read(m, BIO_meth_get_read(socket));
    BIO_meth_set_puts(m, BIO_meth_get_puts(socket));
    BIO_meth_set_ctrl(m, BIO_meth_get_ctrl(socket));
    BIO_meth_set_create(m, BIO_meth_get_create(socket));
    BIO_meth_set_destroy(m, BIO_meth_get_destroy(socket));
    return m;
  }();
  return method;
}

std::string DurationText(std::chrono::milliseconds ms) {
  const auto n = ms.count();
  return n % 1000 == 0 ? std::to_string(n / 1000) + " s" : std::to_string(n) + " ms";
}

}  // namespace

std::string OpenSslErrors(const std::string& fallback) {
  std::string text;
  while (const unsigned long code = ERR_get_error()) {
    char line[256];
    ERR_error_string_n(code, line, sizeof line);
    // "error:0A00010B:SSL routines::wrong version number": the reason is
    // what a reader can use.
    const char* reason = ERR_reason_error_string(code);
    if (!text.empty()) text += "; ";
    text += reason ? reason : line;
  }
  return text.empty() ? fallback : text;
}

bool AwaitSocket(int fd, int sslError, int timeoutMs, const std::string& target) {
  pollfd p{fd, static_cast<short>(sslError == SSL_ERROR_WANT_WRITE ? POLLOUT : POLLIN), 0};
  const int rc = ::poll(&p, 1, std::max(timeoutMs, 0));
  if (rc < 0 && errno != EINTR)
    throw ESocketError("Socket wait failed on " + target + ": " + ErrorText(errno));
  return rc > 0;
}

TlsConnection::TlsConnection(int fd, std::string target) : fd_(fd), target_(std::move(target)) {
  ERR_clear_error();
  context_ = SSL_CTX_new(TLS_client_method());
  if (!context_) throw ESocketError("Cannot set up TLS: " + OpenSslErrors("out of memory"));
  SSL_CTX_set_min_proto_version(context_, TLS1_2_VERSION);
  // POP3 ends its answers itself; a server that hangs up without the TLS
  // goodbye is a closed connection, not an attack on a truncated answer.
  SSL_CTX_set_options(context_, SSL_OP_IGNORE_UNEXPECTED_EOF);
  SSL_CTX_set_mode(context_, SSL_MODE_ENABLE_PARTIAL_WRITE);
  // The system's trust store, or what SSL_CERT_FILE / SSL_CERT_DIR name.
  SSL_CTX_set_default_verify_paths(context_);
  ssl_ = SSL_new(context_);
  if (!ssl_) {
    SSL_CTX_free(context_);
    throw ESocketError("Cannot set up TLS: " + OpenSslErrors("out of memory"));
  }
  // Our own judgement after the handshake decides, so that the
  // certificate can be shown and a pinned one accepted.
  SSL_set_verify(ssl_, SSL_VERIFY_NONE, nullptr);
  // Whole records in one read from the kernel, not header and body apart.
  SSL_set_read_ahead(ssl_, 1);
  ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) | O_NONBLOCK);
  BIO* bio = SocketWithoutSignal() ? BIO_new(SocketWithoutSignal()) : nullptr;
  if (!bio) {
    SSL_free(ssl_);
    SSL_CTX_free(context_);
    throw ESocketError("Cannot set up TLS: " + OpenSslErrors("out of memory"));
  }
  BIO_set_fd(bio, fd_, BIO_NOCLOSE);  // the descriptor stays the TCP socket's
  SSL_set_bio(ssl_, bio, bio);
}

TlsConnection::~TlsConnection() {
  if (established_) {
    ERR_clear_error();
    SSL_shutdown(ssl_);
  }
  ERR_clear_error();
  SSL_free(ssl_);
  SSL_CTX_free(context_);
}

// SNI for a name (never for an address), and what the certificate must name.
void TlsConnection::NameTheServer(const std::string& host) {
  X509_VERIFY_PARAM* param = SSL_get0_param(ssl_);
  if (IsNumericAddress(host)) {
    X509_VERIFY_PARAM_set1_ip_asc(param, host.c_str());
    return;
  }
  SSL_set_tlsext_host_name(ssl_, host.c_str());
  X509_VERIFY_PARAM_set_hostflags(param, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
  SSL_set1_host(ssl_, host.c_str());
}

void TlsConnection::Handshake(const std::string& host, const std::string& pin,
                              Clock::time_point deadline,
                              const std::function<void()>& onWaiting) {
  NameTheServer(host);
  AwaitHandshake(deadline, onWaiting);
  established_ = true;
  JudgeCertificate(host, pin);
}

void TlsConnection::AwaitHandshake(Clock::time_point deadline,
                                   const std::function<void()>& onWaiting) {
  const auto limit = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
  for (;;) {
    ERR_clear_error();
    errno = 0;
    const int rc = SSL_connect(ssl_);
    if (rc == 1) return;
    const int error = SSL_get_error(ssl_, rc);
    if (error != SSL_ERROR_WANT_READ && error != SSL_ERROR_WANT_WRITE) {
      const std::string why = error == SSL_ERROR_SYSCALL && ERR_peek_error() == 0
                                  ? (errno != 0 ? ErrorText(errno) : "the server closed the connection")
                                  : OpenSslErrors("the server closed the connection");
      throw ECertificateError("TLS handshake with " + target_ + " failed: " + why, std::nullopt);
    }
    for (;;) {
      const int left = MillisecondsUntil(deadline);
      if (left == 0)
        throw ESocketError("The server " + target_ + " did not complete the TLS handshake within " +
                           DurationText(limit));
      if (AwaitSocket(fd_, error, std::min(left, kSliceMs), target_)) break;
      if (onWaiting) onWaiting();
    }
  }
}

void TlsConnection::JudgeCertificate(const std::string& host, const std::string& pin) {
  std::unique_ptr<X509, decltype(&X509_free)> peer(SSL_get1_peer_certificate(ssl_), X509_free);
  if (!peer) throw ECertificateError("the server " + target_ + " sent no certificate", std::nullopt);
  certificate_ = DescribeCertificate(peer.get());
  if (!pin.empty()) {
    if (certificate_->Fingerprint != pin)
      throw ECertificateError(
          "the certificate is not the one trusted for this server; it has changed", certificate_);
    return;
  }
  const long result = SSL_get_verify_result(ssl_);
  if (result != X509_V_OK)
    throw ECertificateError(VerifyFailureText(result, *certificate_, host), certificate_);
}

}  // namespace pelnor
