#include "test_certificates.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace pelnor::test {

namespace {

long g_serial = 1000;

[[noreturn]] void Fail(const std::string& what) {
  throw std::runtime_error("test certificates: " + what);
}

EVP_PKEY* NewKey() {
  EVP_PKEY* key = EVP_EC_gen("P-256");
  if (!key) Fail("cannot make a key");
  return key;
}

void AddExtension(X509* cert, X509* issuer, int nid, const std::string& value) {
  X509V3_CTX ctx;
  X509V3_set_ctx_nodb(&ctx);
  X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
  X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value.c_str());
  if (!ext) Fail("bad extension " + value);
  X509_add_ext(cert, ext, -1);
  X509_EXTENSION_free(ext);
}

std::string AltNames(const CertificateRequest& request) {
  std::string names;
  auto add = [&names](const char* kind, const std::string& value) {
    if (!names.empty()) names += ',';
    names.append(kind).append(value);
  };
  for (const std::string& dns : request.DnsNames) add("DNS:", dns);
  for (const std::string& ip : request.IpAddresses) add("IP:", ip);
  return names;
}

// A certificate for `key`, signed by `issuerKey` as `issuerCert` (itself
// when null).
X509* NewCertificate(EVP_PKEY* key, const CertificateRequest& request, bool authority,
                     X509* issuerCert, EVP_PKEY* issuerKey) {
  X509* cert = X509_new();
  X509_set_version(cert, 2);
  ASN1_INTEGER_set(X509_get_serialNumber(cert), ++g_serial);
  X509_gmtime_adj(X509_getm_notBefore(cert), static_cast<long>(request.ValidFromDays) * 86400);
  X509_gmtime_adj(X509_getm_notAfter(cert), static_cast<long>(request.ValidUntilDays) * 86400);
  X509_set_pubkey(cert, key);
  X509_NAME* name = X509_get_subject_name(cert);
  X509_NAME_add_entry_by_txt(name, "O", MBSTRING_UTF8,
                             reinterpret_cast<const unsigned char*>("Pelnor Test"), -1, -1, 0);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_UTF8,
                             reinterpret_cast<const unsigned char*>(request.CommonName.c_str()),
                             -1, -1, 0);
  X509* issuer = issuerCert ? issuerCert : cert;
  X509_set_issuer_name(cert, X509_get_subject_name(issuer));
  AddExtension(cert, issuer, NID_subject_key_identifier, "hash");
  if (authority) {
    AddExtension(cert, issuer, NID_basic_constraints, "critical,CA:TRUE");
    AddExtension(cert, issuer, NID_key_usage, "critical,keyCertSign,cRLSign");
  } else {
    AddExtension(cert, issuer, NID_basic_constraints, "critical,CA:FALSE");
    AddExtension(cert, issuer, NID_key_usage, "critical,digitalSignature,keyEncipherment");
    AddExtension(cert, issuer, NID_ext_key_usage, "serverAuth");
    const std::string alt = AltNames(request);
    if (!alt.empty()) AddExtension(cert, issuer, NID_subject_alt_name, alt);
  }
  if (issuerCert) AddExtension(cert, issuer, NID_authority_key_identifier, "keyid:always");
  if (X509_sign(cert, issuerKey ? issuerKey : key, EVP_sha256()) == 0) Fail("cannot sign");
  return cert;
}

void WritePem(const std::string& path, X509* cert, EVP_PKEY* key) {
  FILE* file = std::fopen(path.c_str(), "w");
  if (!file) Fail("cannot write " + path);
  const bool ok = cert ? PEM_write_X509(file, cert) == 1
                       : PEM_write_PrivateKey(file, key, nullptr, nullptr, 0, nullptr, nullptr) == 1;
  std::fclose(file);
  if (!ok) Fail("cannot write " + path);
}

std::string FingerprintOf(X509* cert) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  X509_digest(cert, EVP_sha256(), digest, &length);
  std::string text = "sha256:";
  char hex[3];
  for (unsigned int i = 0; i < length; ++i) {
    std::snprintf(hex, sizeof hex, "%02x", digest[i]);
    text += hex;
  }
  return text;
}

}  // namespace

struct TestCertificates::Authority {
  EVP_PKEY* Key = nullptr;
  X509* Cert = nullptr;
  ~Authority() {
    X509_free(Cert);
    EVP_PKEY_free(Key);
  }
};

TestCertificates::TestCertificates(std::string dir)
    : dir_(std::move(dir)),
      ca_(std::make_unique<Authority>()),
      untrustedCa_(std::make_unique<Authority>()) {
  CertificateRequest request;
  request.ValidUntilDays = 3650;
  for (Authority* ca : {ca_.get(), untrustedCa_.get()}) {
    request.CommonName = ca == ca_.get() ? "Pelnor Test CA" : "Nobody's CA";
    ca->Key = NewKey();
    ca->Cert = NewCertificate(ca->Key, request, true, nullptr, nullptr);
  }
  caFile_ = dir_ + "/ca.pem";
  WritePem(caFile_, ca_->Cert, nullptr);
}

TestCertificates::~TestCertificates() = default;

ServerCertificate TestCertificates::Make(const std::string& name,
                                         const CertificateRequest& request,
                                         const Authority* issuer) {
  EVP_PKEY* key = NewKey();
  X509* cert = NewCertificate(key, request, false, issuer ? issuer->Cert : nullptr,
                              issuer ? issuer->Key : nullptr);
  ServerCertificate made{dir_ + "/" + name + ".crt", dir_ + "/" + name + ".key",
                         FingerprintOf(cert)};
  WritePem(made.CertFile, cert, nullptr);
  WritePem(made.KeyFile, nullptr, key);
  X509_free(cert);
  EVP_PKEY_free(key);
  return made;
}

ServerCertificate TestCertificates::Issue(const std::string& name,
                                          const CertificateRequest& request) {
  return Make(name, request, ca_.get());
}

ServerCertificate TestCertificates::IssueByUntrustedCa(const std::string& name,
                                                       const CertificateRequest& request) {
  return Make(name, request, untrustedCa_.get());
}

ServerCertificate TestCertificates::SelfSigned(const std::string& name,
                                               const CertificateRequest& request) {
  return Make(name, request, nullptr);
}

namespace {

void Remember(const char* name, bool& had, std::string& value) {
  const char* old = std::getenv(name);
  had = old != nullptr;
  if (old) value = old;
}

void Restore(const char* name, bool had, const std::string& value) {
  if (had)
    ::setenv(name, value.c_str(), 1);
  else
    ::unsetenv(name);
}

}  // namespace

TrustTestCa::TrustTestCa(const std::string& caFile) {
  Remember(file_.Name, file_.Had, file_.Value);
  Remember(dir_.Name, dir_.Had, dir_.Value);
  ::setenv(file_.Name, caFile.c_str(), 1);
  // A directory without hashed names: the system's store stays out.
  ::setenv(dir_.Name, std::filesystem::path(caFile).parent_path().c_str(), 1);
}

TrustTestCa::~TrustTestCa() {
  Restore(file_.Name, file_.Had, file_.Value);
  Restore(dir_.Name, dir_.Had, dir_.Value);
}

}  // namespace pelnor::test
