#include "core/pop3/tls_certificate.h"

#include <openssl/asn1.h>
#include <openssl/bio.h>
#include <openssl/evp.h>

#include <cstdio>
#include <ctime>
#include <memory>

namespace pelnor {
namespace {

// RFC 2253 with UTF-8 left as it is (no \XX escapes of the bytes).
std::string NameText(const X509_NAME* name) {
  std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new(BIO_s_mem()), BIO_free);
  if (!bio || !name) return {};
  X509_NAME_print_ex(bio.get(), name, 0, XN_FLAG_RFC2253 & ~ASN1_STRFLGS_ESC_MSB);
  char* data = nullptr;
  const long size = BIO_get_mem_data(bio.get(), &data);
  return size > 0 ? std::string(data, static_cast<std::size_t>(size)) : std::string();
}

std::string TimeText(const ASN1_TIME* time) {
  std::tm tm{};
  if (!time || ASN1_TIME_to_tm(time, &tm) != 1) return "?";
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d UTC", tm.tm_year + 1900,
                tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
  return text;
}

std::string Fingerprint(X509* certificate) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (X509_digest(certificate, EVP_sha256(), digest, &length) != 1) return {};
  static const char kHex[] = "0123456789abcdef";
  std::string text = "sha256:";
  for (unsigned int i = 0; i < length; ++i) {
    text += kHex[digest[i] >> 4];
    text += kHex[digest[i] & 15];
  }
  return text;
}

}  // namespace

CertificateInfo DescribeCertificate(X509* certificate) {
  CertificateInfo info;
  info.Subject = NameText(X509_get_subject_name(certificate));
  info.Issuer = NameText(X509_get_issuer_name(certificate));
  info.NotBefore = TimeText(X509_get0_notBefore(certificate));
  info.NotAfter = TimeText(X509_get0_notAfter(certificate));
  info.Fingerprint = Fingerprint(certificate);
  return info;
}

std::string VerifyFailureText(long result, const CertificateInfo& certificate,
                              const std::string& host) {
  switch (result) {
    case X509_V_ERR_CERT_HAS_EXPIRED:
      return "the certificate expired on " + certificate.NotAfter;
    case X509_V_ERR_CERT_NOT_YET_VALID:
      return "the certificate is not valid before " + certificate.NotBefore;
    case X509_V_ERR_HOSTNAME_MISMATCH:
    case X509_V_ERR_IP_ADDRESS_MISMATCH:
      return "the certificate is not for " + host + " (it is for " + certificate.Subject + ")";
    case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
      return "the certificate is self-signed and not trusted";
    case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
    case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
      return "the certificate's issuer is not trusted (" + certificate.Issuer + ")";
    default:
      return std::string("the certificate cannot be verified: ") +
             X509_verify_cert_error_string(result);
  }
}

}  // namespace pelnor
