#include "core/text/sjis.h"

#include <iconv.h>

#include <cerrno>
#include <memory>
#include <vector>
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

namespace {

// Every CP932 character as iconv reads it, looked up instead of asked for:
// mail bodies pass through here, and iconv's CP932 is several times
// slower than a table. Entries are UTF-8 of at most 3 bytes (CP932 holds
// nothing beyond U+FFFF); length 0 marks bytes that start no character.
struct Cp932Char {
  char bytes[3] = {};
  unsigned char length = 0;
};

class Cp932Table {
 public:
  Cp932Table() {
    Iconv cd = Open("UTF-8", "CP932");
    for (int b = 0; b < 0x100; ++b) {
      const char one = static_cast<char>(b);
      single_[b] = Ask(cd.get(), std::string_view(&one, 1));
      if (!IsSjisLead(static_cast<unsigned char>(b))) continue;
      for (int t = 0x40; t <= 0xFC; ++t) {
        const char two[2] = {one, static_cast<char>(t)};
        pair_[(b << 8) | t] = Ask(cd.get(), std::string_view(two, 2));
      }
    }
  }
  const Cp932Char& Single(unsigned char b) const { return single_[b]; }
  const Cp932Char& Pair(unsigned char lead, unsigned char trail) const {
    return pair_[(lead << 8) | trail];
  }

 private:
  static bool IsSjisLead(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
  }
  static Cp932Char Ask(void* cd, std::string_view in) {
    iconv(static_cast<iconv_t>(cd), nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    size_t left = in.size();
    Cp932Char c;
    char* dst = c.bytes;
    size_t room = sizeof c.bytes;
    if (iconv(static_cast<iconv_t>(cd), &src, &left, &dst, &room) == static_cast<size_t>(-1) ||
        left != 0)
      return {};
    c.length = static_cast<unsigned char>(dst - c.bytes);
    return c;
  }

  std::vector<Cp932Char> single_ = std::vector<Cp932Char>(0x100);
  std::vector<Cp932Char> pair_ = std::vector<Cp932Char>(0x10000);
};

const Cp932Table& Cp932() {
  static const Cp932Table table;
  return table;
}

}  // namespace

std::string SjisToUtf8(std::string_view sjis) {
  const Cp932Table& table = Cp932();
  std::string out;
  out.reserve(sjis.size() + sjis.size() / 2);
  const auto* in = reinterpret_cast<const unsigned char*>(sjis.data());
  const std::size_t n = sjis.size();
  std::size_t i = 0;
  while (i < n) {
    std::size_t ascii = i;
    while (ascii < n && in[ascii] < 0x80) ++ascii;
    out.append(sjis.data() + i, ascii - i);
    i = ascii;
    if (i >= n) break;
    const Cp932Char* c = &table.Single(in[i]);
    std::size_t used = 1;
    if (c->length == 0 && i + 1 < n) {
      c = &table.Pair(in[i], in[i + 1]);
      used = 2;
    }
    if (c->length == 0) {
      out += "\xEF\xBF\xBD";  // the byte starts no character: skip it alone
      used = 1;
    } else {
      out.append(c->bytes, c->length);
    }
    i += used;
  }
  return out;
}

}  // namespace pelnor
