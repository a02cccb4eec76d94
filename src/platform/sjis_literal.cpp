#include "platform/sjis_literal.h"

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

// Converts all of `in`; on an invalid sequence calls `onInvalid`, which may
// append a replacement and skip input, or throw.
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
      size_t skip = onInvalid(out);
      src += skip;
      left -= skip;
    }
  }
  return out;
}

}  // namespace

std::string Sjis(std::string_view utf8) {
  Iconv cd = Open("CP932", "UTF-8");
  return Convert(cd.get(), utf8, [&](std::string&) -> size_t {
    throw std::runtime_error("no Shift_JIS form for: " + std::string(utf8));
  });
}

std::string SjisToUtf8(std::string_view sjis) {
  Iconv cd = Open("UTF-8", "CP932");
  return Convert(cd.get(), sjis, [](std::string& out) -> size_t {
    out += "\xEF\xBF\xBD";
    return 1;
  });
}

}  // namespace pelnor
