#include "core/text/sjis.h"

#include <iconv.h>

#include <cerrno>
#include <memory>
#include <stdexcept>

namespace pelnor {
namespace {

struct IconvCloser {
  void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};
using Iconv = std::unique_ptr<void, IconvCloser>;

Iconv Open(const char* to, const char* from) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1))
    throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
  return Iconv(cd);
}

// Converts all of `in`; on an invalid sequence calls `onInvalid` with the
// input left from there, which may append a replacement and skip input, or
// throw.
template <typename OnInvalid>
std::string Convert(void* cd, std::string_view in, OnInvalid onInvalid) {
  std::string out;
  char* src = const_cast<char*>(in.data());
  size_t left = in.size();
  char buf[4096];
  while (left > 0) {
    char* dst = buf;
    size_t room = sizeof buf;
    size_t r = iconv(static_cast<iconv_t>(cd), &src, &left, &dst, &room);
    out.append(buf, dst - buf);
    if (r == static_cast<size_t>(-1) && errno != E2BIG) {
      size_t skip = onInvalid(out, std::string_view(src, left));
      src += skip;
      left -= skip;
    }
  }
  return out;
}

// The length of the UTF-8 character `rest` starts with; 1 for a byte that
// starts none, so a broken sequence costs one replacement per byte.
size_t Utf8CharLength(std::string_view rest) {
  const auto lead = static_cast<unsigned char>(rest.front());
  size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 1;
  if (lead > 0xF4) length = 1;
  if (length > rest.size()) return 1;
  for (size_t i = 1; i < length; ++i)
    if ((static_cast<unsigned char>(rest[i]) & 0xC0) != 0x80) return 1;
  return length;
}

}  // namespace

std::string Sjis(std::string_view utf8) {
  Iconv cd = Open("CP932", "UTF-8");
  return Convert(cd.get(), utf8, [&](std::string&, std::string_view) -> size_t {
    throw std::runtime_error("no Shift_JIS form for: " + std::string(utf8));
  });
}

std::string Utf8ToSjisLossy(std::string_view utf8) {
  Iconv cd = Open("CP932", "UTF-8");
  return Convert(cd.get(), utf8, [](std::string& out, std::string_view rest) -> size_t {
    out += "\x81\xAC";  // 〓
    return Utf8CharLength(rest);
  });
}

std::string SjisToUtf8(std::string_view sjis) {
  Iconv cd = Open("UTF-8", "CP932");
  return Convert(cd.get(), sjis, [](std::string& out, std::string_view) -> size_t {
    out += "\xEF\xBF\xBD";
    return 1;
  });
}

}  // namespace pelnor
