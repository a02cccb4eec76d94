// Header text from the network through the encoded-word decoders.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/mime/mail_parser.h"
#include "core/mime/address_util.h"
#include "core/mime/encoded_words.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string decoded = pelnor::DecodeWords(text);
  // Every decoded word is shorter than the word it replaces.
  if (decoded.size() > text.size()) __builtin_trap();
  pelnor::DecodeJisBWords(text);
  pelnor::FormatAddressList(text);
  pelnor::MailParser::FormatToList(std::string(text));
  pelnor::MailParser::DecodeHeaderText(std::string(text));
  return 0;
}
