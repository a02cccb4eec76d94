// Date headers come straight from the network: reading and formatting them
// must never crash, and a date that reads must format into a folder name of
// ten digits.

#include "core/print/japanese_date.h"
#include "core/print/mail_date.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  pelnor::DateTime fallback{};
  fallback.Year = 2026;
  fallback.Month = 12;
  fallback.Day = 8;
  if (auto when = pelnor::ParseMailDate(text)) {
    std::string dir = pelnor::FormatDateDirName(*when);
    if (dir.size() != 10) std::abort();
  }
  pelnor::FormatJapaneseDate(text);
  pelnor::FormatDateDirName(text, fallback);
  return 0;
}
