#include "core/text/charset_converter.h"

#include <cerrno>

#include "core/text/utf8.h"

namespace pelnor {
namespace {

const iconv_t kNotOpen = reinterpret_cast<iconv_t>(-1);

}  // namespace

CharsetConverter::CharsetConverter(const char* iconvName)
    : cd_(iconv_open("UTF-8", iconvName)) {}

CharsetConverter::~CharsetConverter() {
  if (IsOpen()) iconv_close(cd_);
}

bool CharsetConverter::IsOpen() const { return cd_ != kNotOpen; }

std::string CharsetConverter::ToUtf8(std::string_view bytes) {
  std::string out;
  if (!IsOpen()) return out;
  iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
  out.reserve(bytes.size() + bytes.size() / 2);
  char* src = const_cast<char*>(bytes.data());
  std::size_t left = bytes.size();
  char buf[4096];
  while (true) {
    char* dst = buf;
    std::size_t room = sizeof buf;
    const std::size_t r = left > 0 ? iconv(cd_, &src, &left, &dst, &room)
                                   : iconv(cd_, nullptr, nullptr, &dst, &room);
    const int err = errno;
    out.append(buf, dst - buf);
    if (r != static_cast<std::size_t>(-1)) {
      if (left == 0) break;
      continue;
    }
    if (err == E2BIG) continue;
    out += kReplacementChar;
    if (err == EINVAL) break;  // cut off at the end
    // EILSEQ: skip the byte and start afresh after it.
    ++src;
    --left;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    if (left == 0) break;
  }
  return out;
}

}  // namespace pelnor
