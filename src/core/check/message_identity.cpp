#include "core/check/message_identity.h"

#include <openssl/evp.h>

#include <stdexcept>

namespace pelnor {
namespace {

std::string RawHeaderBlock(const MailMessage& msg) {
  std::string block;
  for (const std::string& line : msg.Headers) {
    block += line;
    block += "\r\n";
  }
  return block;
}

std::string LowerHex(const unsigned char* bytes, unsigned int count) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(2 * count);
  for (unsigned int i = 0; i < count; ++i) {
    hex += kDigits[bytes[i] >> 4];
    hex += kDigits[bytes[i] & 0x0F];
  }
  return hex;
}

std::string Sha256Hex(const std::string& bytes) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_sha256(), nullptr) != 1)
    throw std::runtime_error("SHA-256 of a mail header failed");
  return LowerHex(digest, length);
}

}  // namespace

std::string MessageIdentity(const MailMessage& msg) {
  if (!msg.MessageId.empty()) return msg.MessageId;
  return "<sha256:" + Sha256Hex(RawHeaderBlock(msg)) + ">";
}

}  // namespace pelnor
