#pragma once

// Certificates made by a test, with the OpenSSL API, into a directory of its
// own: a test CA and server certificates it issues (valid, expired, not yet
// valid, for another host), self-signed ones, and a second CA that nobody
// trusts. The client learns of the test CA only through SSL_CERT_FILE,
// which TrustTestCa sets for the test process, as for any OpenSSL program.

#include <memory>
#include <string>
#include <vector>

namespace pelnor::test {

struct ServerCertificate {
  std::string CertFile;  // PEM
  std::string KeyFile;   // PEM, unencrypted
  std::string Fingerprint;  // "sha256:" and the hex digits of the DER
};

struct CertificateRequest {
  std::string CommonName = "localhost";
  std::vector<std::string> DnsNames = {"localhost"};
  std::vector<std::string> IpAddresses = {"127.0.0.1", "::1"};
  int ValidFromDays = -1;   // relative to now
  int ValidUntilDays = 365;
};

class TestCertificates {
 public:
  // Makes the test CA and the untrusted one in `dir` (which must exist).
  explicit TestCertificates(std::string dir);
  TestCertificates(const TestCertificates&) = delete;
  TestCertificates& operator=(const TestCertificates&) = delete;
  ~TestCertificates();

  // The test CA's certificate, PEM.
  const std::string& CaFile() const { return caFile_; }

  // A certificate signed by the test CA, or by the CA nobody trusts.
  ServerCertificate Issue(const std::string& name, const CertificateRequest& request);
  ServerCertificate IssueByUntrustedCa(const std::string& name, const CertificateRequest& request);
  // A certificate that signs itself.
  ServerCertificate SelfSigned(const std::string& name, const CertificateRequest& request);

 private:
  struct Authority;
  ServerCertificate Make(const std::string& name, const CertificateRequest& request,
                         const Authority* issuer);

  std::string dir_;
  std::string caFile_;
  std::unique_ptr<Authority> ca_;
  std::unique_ptr<Authority> untrustedCa_;
};

// Points SSL_CERT_FILE at `caFile` (and SSL_CERT_DIR at nothing) while it
// lives, so the client trusts the test CA and no other.
class TrustTestCa {
 public:
  explicit TrustTestCa(const std::string& caFile);
  ~TrustTestCa();
  TrustTestCa(const TrustTestCa&) = delete;
  TrustTestCa& operator=(const TrustTestCa&) = delete;

 private:
  struct Saved {
    const char* Name;
    bool Had = false;
    std::string Value;
  };
  Saved file_{"SSL_CERT_FILE", false, {}};
  Saved dir_{"SSL_CERT_DIR", false, {}};
};

}  // namespace pelnor::test
