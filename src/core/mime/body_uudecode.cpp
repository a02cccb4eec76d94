#include "core/mime/body_uudecode.h"

#include <algorithm>
#include <cstdint>

namespace pelnor {
namespace {

constexpr std::size_t kMaxChars = 60;

bool InAlphabet(unsigned char c) { return c >= 0x20 && c <= 0x60; }
unsigned ValueOf(unsigned char c) { return (c - 0x20u) & 0x3Fu; }

}  // namespace

bool IsUUDataLine(std::string_view line) {
  const std::size_t read = std::min(line.size(), kMaxChars + 1);
  // One test for the line instead of a branch per character.
  bool bad = false;
  for (std::size_t i = 0; i < read; ++i) bad |= !InAlphabet(static_cast<unsigned char>(line[i]));
  return !bad;
}

bool IsFullUULine(std::string_view line) {
  return line.size() > kMaxChars && line[0] == 'M' && IsUUDataLine(line);
}

int UUDecodeLine(std::string_view line, char* out) {
  if (line.empty()) return 0;
  if (!IsUUDataLine(line)) return -1;
  const auto* p = reinterpret_cast<const unsigned char*>(line.data());
  const std::size_t count = std::min<std::size_t>(ValueOf(p[0]), kUULineBytes);
  const std::size_t chars = std::min(line.size() - 1, kMaxChars);
  ++p;
  auto* o = reinterpret_cast<unsigned char*>(out);
  std::size_t produced = 0;
  for (std::size_t i = 0; i < chars; i += 4) {
    std::uint32_t bits = 0;
    for (std::size_t k = 0; k < 4; ++k)
      bits = (bits << 6) | (i + k < chars ? ValueOf(p[i + k]) : 0u);
    o[produced] = static_cast<unsigned char>(bits >> 16);
    o[produced + 1] = static_cast<unsigned char>(bits >> 8);
    o[produced + 2] = static_cast<unsigned char>(bits);
    produced += 3;
  }
  // Bytes the count asks for beyond the characters given are zero bits.
  if (produced < count) std::fill(o + produced, o + count, 0);
  return static_cast<int>(count);
}

bool IsEndWord(std::string_view line) {
  std::size_t a = 0;
  std::size_t b = line.size();
  while (a < b && static_cast<unsigned char>(line[a]) <= 32) ++a;
  while (b > a && static_cast<unsigned char>(line[b - 1]) <= 32) --b;
  const std::string_view core = line.substr(a, b - a);
  if (core.size() != 3) return false;
  return (core[0] | 0x20) == 'e' && (core[1] | 0x20) == 'n' &&
         (core[2] | 0x20) == 'd';
}

bool IsUUEndLine(std::string_view line) {
  return line == "`" || IsEndWord(line);
}

}  // namespace pelnor
