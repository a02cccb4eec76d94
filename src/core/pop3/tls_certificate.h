#pragma once

// Reading a server's certificate for people: what it says, and why the
// verification refused it. OpenSSL's own texts are kept for the rare cases.

#include <openssl/x509.h>

#include <string>

#include "core/pop3/client_socket.h"

namespace pelnor {

CertificateInfo DescribeCertificate(X509* certificate);

// Why the chain or the name check failed, from SSL_get_verify_result.
// `host` is the name or address the certificate was checked against.
std::string VerifyFailureText(long result, const CertificateInfo& certificate,
                              const std::string& host);

}  // namespace pelnor
