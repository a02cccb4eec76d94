#include "core/pop3/tls_socket.h"

#include <chrono>

#include "core/pop3/tls_connection.h"
#include "core/pop3/tls_stream.h"

namespace pelnor {

TlsClientSocket::TlsClientSocket() = default;

TlsClientSocket::~TlsClientSocket() {
  tls_.reset();
  tcp_.Close();
}

// The connection counts as open for the caller only once TLS, when asked
// for from the start, stands and its certificate has been accepted.
void TlsClientSocket::Open() {
  if (Active()) Close();
  tcp_.Port = Port;
  tcp_.Address = Address;
  tcp_.HostName = HostName;
  tcp_.ConnectTimeoutMs = ConnectTimeoutMs;
  tcp_.OnWaiting = OnWaiting;
  tcp_.Open();
  if (Tls == TlsMode::kImplicit) {
    try {
      Handshake();
    } catch (...) {
      tls_.reset();
      tcp_.Close();
      throw;
    }
  }
  NotifyConnected();
}

void TlsClientSocket::StartTls() {
  if (!Active()) throw ESocketError("Cannot start TLS on " + Target() + ": the socket is not open");
  if (tls_) throw ESocketError("Cannot start TLS on " + Target() + ": TLS is on already");
  Handshake();
}

void TlsClientSocket::Handshake() {
  tls_ = std::make_unique<TlsConnection>(tcp_.Descriptor(), Target());
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(HandshakeTimeoutMs);
  tls_->Handshake(Address.empty() ? HostName : Address, PinnedCertificate, deadline, OnWaiting);
}

void TlsClientSocket::Close() {
  if (!Active()) return;
  tls_.reset();
  tcp_.Close();
  NotifyDisconnected();
}

std::unique_ptr<SocketStream> TlsClientSocket::CreateStream(int timeoutMs) {
  if (!tls_) return tcp_.CreateStream(timeoutMs);
  return std::make_unique<TlsSocketStream>(*tls_, timeoutMs);
}

std::optional<CertificateInfo> TlsClientSocket::PeerCertificate() const {
  return tls_ ? tls_->Certificate() : std::nullopt;
}

}  // namespace pelnor
