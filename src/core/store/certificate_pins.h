#pragma once

// The certificates the user chose to trust, one per server: section
// "Certificates" of Defult.ini, key "host:port" (ServerKey), value "sha256:"
// and the 64 lowercase hex digits of the certificate's SHA-256. Trust
// belongs to the server, so every account on it shares the entry. The
// settings' own save keeps the section, as it keeps every key it does not
// write.

#include <string>

#include "core/store/server_address.h"

namespace pelnor {

// The pinned fingerprint for `server`, empty when there is none or the
// value is not of the form above. Throws StoreError when Defult.ini exists
// but cannot be read.
std::string CertificatePin(const std::string& dir, const ServerAddress& server);

// Pins `fingerprint` ("sha256:" + 64 lowercase hex digits) for `server`,
// replacing an older pin. Throws std::invalid_argument for any other text,
// StoreError when the file cannot be written (the old file stays).
void SaveCertificatePin(const std::string& dir, const ServerAddress& server,
                        const std::string& fingerprint);

// True for "sha256:" followed by exactly 64 lowercase hex digits.
bool IsCertificateFingerprint(const std::string& text);

}  // namespace pelnor
