#pragma once

// The system's converter (iconv) from one charset into UTF-8, opened once
// and closed with the object.

#include <iconv.h>

#include <string>
#include <string_view>

namespace pelnor {

class CharsetConverter {
 public:
  // A converter from `iconvName` (a name iconv knows, e.g. "CP932") to
  // UTF-8. IsOpen() is false when iconv does not know the name.
  explicit CharsetConverter(const char* iconvName);
  ~CharsetConverter();
  CharsetConverter(const CharsetConverter&) = delete;
  CharsetConverter& operator=(const CharsetConverter&) = delete;

  bool IsOpen() const;

  // All of `bytes` in UTF-8. A byte that starts no character of the charset
  // becomes U+FFFD and decoding goes on after it; a character cut off at the
  // end becomes one U+FFFD. Never fails once open.
  std::string ToUtf8(std::string_view bytes);

 private:
  iconv_t cd_;
};

}  // namespace pelnor
