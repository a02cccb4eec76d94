#include "mime/body_base64.h"

#include <array>
#include <bit>
#include <cstring>

namespace pelnor {
namespace {

constexpr std::uint8_t kPad = 64;
constexpr std::uint8_t kSkip = 0xFF;

constexpr int AlphabetValue(unsigned c) {
  if (c >= 'A' && c <= 'Z') return static_cast<int>(c - 'A');
  if (c >= 'a' && c <= 'z') return static_cast<int>(c - 'a' + 26);
  if (c >= '0' && c <= '9') return static_cast<int>(c - '0' + 52);
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

constexpr std::array<std::uint8_t, 256> MakeValues() {
  std::array<std::uint8_t, 256> t{};
  for (unsigned c = 0; c < 256; ++c) {
    const int v = AlphabetValue(c);
    t[c] = v >= 0 ? static_cast<std::uint8_t>(v) : (c == '=' ? kPad : kSkip);
  }
  return t;
}

// One table per position of a group: the value already shifted into place,
// or the top bit set for anything but a plain alphabet character, so four
// lookups and one test decode a whole group on the fast path.
constexpr std::array<std::uint32_t, 256> MakeShifted(int shift) {
  std::array<std::uint32_t, 256> t{};
  for (unsigned c = 0; c < 256; ++c) {
    const int v = AlphabetValue(c);
    t[c] = v >= 0 ? static_cast<std::uint32_t>(v) << shift : 0x80000000u;
  }
  return t;
}

constexpr auto kValues = MakeValues();
constexpr auto kShift18 = MakeShifted(18);
constexpr auto kShift12 = MakeShifted(12);
constexpr auto kShift6 = MakeShifted(6);
constexpr auto kShift0 = MakeShifted(0);

}  // namespace

char* TBase64GroupDecoder::EmitGroup(char* out) const {
  // Padding counts as zero bits wherever it stands.
  std::uint32_t bits = 0;
  for (int i = 0; i < 4; ++i)
    bits = (bits << 6) | (values_[i] == kPad ? 0u : values_[i]);
  int bytes = 3;
  if (values_[2] == kPad) {
    bytes = 1;
  } else if (values_[3] == kPad) {
    bytes = 2;
  } else if (values_[0] == kPad) {
    bytes = 0;
  }
  for (int i = 0; i < bytes; ++i)
    *out++ = static_cast<char>(bits >> (16 - 8 * i));
  return out;
}

namespace {

std::uint32_t GroupBits(const unsigned char* p) {
  return kShift18[p[0]] | kShift12[p[1]] | kShift6[p[2]] | kShift0[p[3]];
}

// Decodes whole groups of plain alphabet characters from `p` on, stopping
// before the first group with anything else in it. While at least one more
// group follows in the line, a group is stored as one 4-byte word (its
// fourth byte is overwritten by the next group): the room MaxOutput gives
// covers that byte only then.
const unsigned char* DecodePlainGroups(const unsigned char* p, const unsigned char* end,
                                       char*& dst) {
  char* d = dst;
  while (end - p >= 8) {
    const std::uint32_t bits = GroupBits(p);
    if (bits & 0x80000000u) break;
    std::uint32_t word = bits << 8;
    if constexpr (std::endian::native == std::endian::little) word = __builtin_bswap32(word);
    std::memcpy(d, &word, 4);
    d += 3;
    p += 4;
  }
  if (end - p >= 4) {
    const std::uint32_t bits = GroupBits(p);
    if (!(bits & 0x80000000u)) {
      d[0] = static_cast<char>(bits >> 16);
      d[1] = static_cast<char>(bits >> 8);
      d[2] = static_cast<char>(bits);
      d += 3;
      p += 4;
    }
  }
  dst = d;
  return p;
}

}  // namespace

std::size_t TBase64GroupDecoder::DecodeLine(std::string_view line, char* out,
                                            std::size_t& groups) {
  const auto* p = reinterpret_cast<const unsigned char*>(line.data());
  const auto* end = p + line.size();
  char* dst = out;
  groups = 0;
  while (p < end) {
    if (count_ == 0) {
      const auto* from = p;
      p = DecodePlainGroups(p, end, dst);
      groups += static_cast<std::size_t>(p - from) / 4;
      if (p == end) break;
      // The group at p holds something else: decoded value by value below.
    }
    const std::uint8_t v = kValues[*p++];
    if (v == kSkip) continue;
    values_[count_++] = v;
    if (count_ == 4) {
      dst = EmitGroup(dst);
      count_ = 0;
      ++groups;
    }
  }
  return static_cast<std::size_t>(dst - out);
}

}  // namespace pelnor
