#include "core/text/sjis.h"

#include "core/text/cp932_table.h"
#include "core/text/utf8.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
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

const Cp932Char kReplacement{{'\xEF', '\xBF', '\xBD'}, 3};  // U+FFFD

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
    // A broken sequence costs one replacement per byte.
    return std::max<std::size_t>(Utf8CharLength(rest), 1);
  });
}

std::string SjisToUtf8(std::string_view sjis) {
  // Each byte gives at most three: the bound is written into, then cut.
  std::string out(sjis.size() * 3, '\0');
  char* o = out.data();
  const Cp932Table& table = Cp932Table::Get();
  const auto* in = reinterpret_cast<const unsigned char*>(sjis.data());
  const std::size_t n = sjis.size();
  std::size_t i = 0;
  while (i < n) {
    if (in[i] < 0x80) {
      *o++ = static_cast<char>(in[i++]);
      continue;
    }
    const Cp932Char* c = &table.Single(in[i]);
    std::size_t used = 1;
    if (c->length == 0 && i + 1 < n) {
      c = &table.Pair(in[i], in[i + 1]);
      used = 2;
    }
    if (c->length == 0) {
      c = &kReplacement;  // the byte starts no character: it goes alone
      used = 1;
    }
    std::memcpy(o, c->bytes, 3);
    o += c->length;
    i += used;
  }
  out.resize(o - out.data());
  return out;
}

std::string AnyTextToUtf8(std::string_view text) {
  return IsValidUtf8(text) ? std::string(text) : SjisToUtf8(text);
}

}  // namespace pelnor
