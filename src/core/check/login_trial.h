#pragma once

// The account editor's connection test: one real POP3 session with the
// settings being edited (server, port, security, trusted certificate, user,
// password), as the check would hold it: connect, log in, quit. Nothing is
// fetched or deleted.

#include <functional>
#include <optional>
#include <string>

#include "core/pop3/client_socket.h"
#include "core/store/server_address.h"

namespace pelnor {

enum class TrialOutcome {
  kLoggedIn,
  kConnectFailed,       // no connection, no greeting, or a session broken off
  kCertificateRefused,  // the certificate, or the TLS handshake
  kNoStartTls,          // STARTTLS chosen, the server does not offer it
  kLoginRefused,        // USER or PASS answered -ERR
};

struct LoginTrial {
  TrialOutcome Outcome = TrialOutcome::kConnectFailed;
  std::string Detail;  // why, UTF-8 (a server's refusal as it said it)
  // What the server presented, accepted or not; none over plain POP3.
  std::optional<CertificateInfo> Certificate;
};

// `pump` runs while the session waits (may be empty); an exception from it
// (the program ends) passes unchanged.
LoginTrial TryLogin(const ServerAddress& server, const std::string& pinnedCertificate,
                    const std::string& user, const std::string& password,
                    const std::function<void()>& pump);

}  // namespace pelnor
