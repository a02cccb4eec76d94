// A whole mail from the network through header parsing, body decoding and
// the finishing step, as the POP3 client runs them.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "../tests/core/mime/mail_pipeline.h"
#include "core/mime/mail_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view raw(reinterpret_cast<const char*>(data), size);
  pelnor::MailParser parser;
  int pumps = 0;
  int starts = 0;
  int ends = 0;
  parser.OnProcessMessages = [&] { ++pumps; };
  parser.OnDecodeStart = [&](const std::string&, std::int32_t count) {
    if (count < 0) __builtin_trap();
    ++starts;
  };
  parser.OnDecodeProgress = [](std::uint16_t percent) {
    if (percent > 100) __builtin_trap();
  };
  parser.OnDecodeEnd = [&] { ++ends; };
  // Bad mail never raises: an exception ends the run as a crash.
  const auto msg = pelnor::testing::DecodeMail(parser, raw);
  for (int i = 0; i < msg->AttachedFiles.Count(); ++i) {
    // Decoders hand their encoded lines back when done.
    if (!msg->AttachedFiles.Items(i).Lines.empty()) __builtin_trap();
  }
  // Every decoder that started also ended.
  if (starts != ends) __builtin_trap();
  return 0;
}
