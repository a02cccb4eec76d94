#pragma once

// The connection layer the POP3 session talks through: a blocking TCP client
// socket, secured by TLS when asked, and a timed stream over it. Kept
// abstract so that tests and the fuzzer can put a scripted transport in
// place of the network.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

namespace pelnor {

// Raised by the connection layer for every failure of the network: look-up,
// refusal, time-out of the connect, a read or write that fails.
class ESocketError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// What a server's certificate says, for a person to judge it. Texts are
// UTF-8.
struct CertificateInfo {
  std::string Subject;      // "CN=nas.local,O=Example", as RFC 2253 writes it
  std::string Issuer;
  std::string NotBefore;    // "2025-01-31 09:00:00 UTC"
  std::string NotAfter;
  std::string Fingerprint;  // "sha256:" and 64 lowercase hex digits of the DER
};

// The TLS connection was refused on our side or failed: the server's
// certificate is not to be trusted (expired, not yet valid, for another
// host, from an unknown issuer, not the pinned one) or the handshake broke
// down. Nothing has been sent over it. Certificate() holds what the server
// presented, when it got that far.
class ECertificateError : public ESocketError {
 public:
  ECertificateError(const std::string& reason, std::optional<CertificateInfo> certificate)
      : ESocketError(reason), certificate_(std::move(certificate)) {}
  const std::optional<CertificateInfo>& Certificate() const { return certificate_; }

 private:
  std::optional<CertificateInfo> certificate_;
};

// How a connection is secured.
enum class TlsMode {
  kNone,      // plain TCP
  kImplicit,  // TLS from the first byte, during Open
  kStartTls,  // plain until StartTls, which the caller asks for after STLS
};

// A stream bound to an open socket. Every single read and write is bounded
// by the time-out the stream was created with.
class SocketStream {
 public:
  virtual ~SocketStream() = default;

  // True when the socket becomes readable within `timeoutMs`; a connection
  // closed by the peer counts as readable.
  virtual bool WaitForData(int timeoutMs) = 0;

  // Reads what has arrived, at most `count` bytes. 0 when nothing arrived
  // within the stream time-out or when the peer has closed the connection.
  virtual std::size_t Read(char* buffer, std::size_t count) = 0;

  // Sends the bytes; returns how many went out before the time-out.
  virtual std::size_t Write(const char* buffer, std::size_t count) = 0;

  // A hint while a long answer arrives: about `bytes` more of it are still
  // to come, 0 once it has ended. The stream may then wake its reader per
  // batch instead of per packet.
  virtual void ExpectMore(std::uint64_t /*bytes*/) {}
};

// A blocking client socket. Configure it, then Open; the connected
// notification fires before Open returns, the disconnected one during Close.
class ClientSocket {
 public:
  virtual ~ClientSocket() = default;

  int Port = 0;
  std::string Address;   // numeric address, connected to without look-up
  std::string HostName;  // used (and resolved, IPv4 or IPv6) when Address is empty
  int ConnectTimeoutMs = 30000;
  TlsMode Tls = TlsMode::kNone;
  // The one certificate the user trusts for this server ("sha256:" and the
  // hex digits); empty: the system's trust store and the host name decide.
  std::string PinnedCertificate;
  // How long a TLS handshake may take; it waits in slices like the connect.
  int HandshakeTimeoutMs = 60000;

  std::function<void()> OnConnected;
  std::function<void()> OnDisconnected;
  // Called between the slices (at most 200 ms) of a connect that has to
  // wait, so the caller's user interface keeps running (the name look-up
  // before it is not sliced). An exception from it ends Open unchanged, the
  // socket left closed.
  std::function<void()> OnWaiting;

  // Connects; raises ESocketError naming the host and the reason on failure.
  virtual void Open() = 0;
  // Closes the connection if it is open; a closed socket stays usable.
  virtual void Close() = 0;
  virtual bool Active() const = 0;
  // A stream over the open connection, each read and write bounded by
  // `timeoutMs`. Raises ESocketError when the socket is not open.
  virtual std::unique_ptr<SocketStream> CreateStream(int timeoutMs) = 0;

  // Turns the open plain connection into a TLS one (after the server
  // agreed to STLS), checking the certificate as Open does for kImplicit.
  // Streams created before must not be used afterwards. Raises
  // ECertificateError, or ESocketError (also where TLS is not available).
  virtual void StartTls();
  // The certificate of the TLS connection now open.
  virtual std::optional<CertificateInfo> PeerCertificate() const { return std::nullopt; }

  // The host as the user named it, for messages.
  std::string Target() const;

 protected:
  void NotifyConnected() {
    if (OnConnected) OnConnected();
  }
  void NotifyDisconnected() {
    if (OnDisconnected) OnDisconnected();
  }
};

}  // namespace pelnor
