// Header text from the network through the encoded-word and parameter
// decoders.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/mime/mail_parser.h"
#include "core/mime/address_util.h"
#include "core/mime/encoded_words.h"
#include "core/mime/header_params.h"
#include "core/text/utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string decoded = pelnor::DecodeWords(text);
  // Whatever the words declare, the text comes out as UTF-8.
  if (!pelnor::IsValidUtf8(decoded)) __builtin_trap();
  pelnor::DecodeJisBWords(text);
  pelnor::FormatAddressList(text);
  pelnor::MailParser::FormatToList(std::string(text));
  pelnor::ParameterValue(text, "filename");
  return 0;
}
