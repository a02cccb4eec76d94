#include "core/text/cp932_table.h"

#include "core/text/japanese_code.h"

#include <iconv.h>

#include <stdexcept>
#include <string_view>

namespace pelnor {
namespace {

bool IsLead(int b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// iconv's reading of `in` when it is exactly one character.
Cp932Char Ask(iconv_t cd, std::string_view in) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* src = const_cast<char*>(in.data());
  size_t left = in.size();
  Cp932Char c;
  char* dst = c.bytes;
  size_t room = sizeof c.bytes;
  if (iconv(cd, &src, &left, &dst, &room) == static_cast<size_t>(-1) || left != 0) return {};
  c.length = static_cast<unsigned char>(dst - c.bytes);
  return c;
}

}  // namespace

Cp932Table::Cp932Table() : single_(0x100), pair_(0x10000), jis_(0x4000) {
  iconv_t cd = iconv_open("UTF-8", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1))
    throw std::runtime_error("iconv cannot convert CP932 to UTF-8");
  for (int b = 0; b < 0x100; ++b) {
    const char one = static_cast<char>(b);
    single_[b] = Ask(cd, std::string_view(&one, 1));
    if (!IsLead(b)) continue;
    for (int t = 0x40; t <= 0xFC; ++t) {
      const char two[2] = {one, static_cast<char>(t)};
      pair_[(b << 8) | t] = Ask(cd, std::string_view(two, 2));
    }
  }
  iconv_close(cd);
  for (int j1 = 0; j1 < 0x80; ++j1) {
    for (int j2 = 0; j2 < 0x80; ++j2) {
      const BytePair sjis =
          JisPairToSjis(static_cast<unsigned char>(j1), static_cast<unsigned char>(j2));
      jis_[(j1 << 7) | j2] = Pair(sjis.first, sjis.second);
    }
  }
}

const Cp932Table& Cp932Table::Get() {
  static const Cp932Table table;
  return table;
}

}  // namespace pelnor
