#pragma once

// Every failure Pop3Session can report, in one place.
//
// Refusals by the server go to OnError with one of these codes and the
// server's text after "-ERR". There is no code 2005.

#include <cstdint>
#include <stdexcept>

#include "core/pop3/client_socket.h"

namespace pelnor {

enum Pop3ErrorCode : std::int32_t {
  peGreeting = 2000,  // Connect: the greeting began with "-ERR"
  peLogin = 2001,     // Login: USER or PASS refused
  peQuit = 2002,      // Quit: QUIT refused
  peDelete = 2003,    // DeleteMessage: DELE refused
  peRetrieve = 2004,  // RetrieveMessage / RetrieveHeader: RETR or TOP refused
  peStat = 2006,      // CountNewMessages: STAT refused
};

// Misuse: an operation that needs an open connection called without one.
class EInvalidOperation : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr const char* kLoginNotConnected = "Invalid Op. Not connected.";
inline constexpr const char* kNotConnected = "Not connected.";

// The server sent nothing for the whole reply time-out. The session closes
// the connection before raising, so a later Quit does nothing.
class EServerSilent : public ESocketError {
 public:
  using ESocketError::ESocketError;
};

// A reply came, but too slowly to be worth waiting for: its status line was
// not complete within the reply time-out, or a message brought less than
// 1 KB in one. The session closes the connection before raising.
class EServerTooSlow : public ESocketError {
 public:
  using ESocketError::ESocketError;
};

// STARTTLS was asked for, but the server does not list STLS in its
// capabilities or refuses it. Nothing else is sent: no downgrade to plain
// text. The session closes the connection before raising.
class EStartTlsRefused : public ESocketError {
 public:
  using ESocketError::ESocketError;
};

// Why the last Connect failed.
enum class ConnectFailure {
  kNone,
  kNetwork,      // no connection, or no greeting
  kCertificate,  // a certificate not to be trusted, or a broken TLS handshake
  kNoStartTls,   // STARTTLS asked for and not offered or refused (EStartTlsRefused)
};

// The server closed the connection while a reply was awaited. The session
// closes its side before raising.
class EServerClosed : public ESocketError {
 public:
  using ESocketError::ESocketError;
};

}  // namespace pelnor
