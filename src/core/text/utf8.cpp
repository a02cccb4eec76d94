#include "core/text/utf8.h"

namespace pelnor {
namespace {

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

}  // namespace

std::size_t Utf8CharLength(std::string_view rest) {
  if (rest.empty()) return 0;
  const auto c0 = static_cast<unsigned char>(rest[0]);
  if (c0 < 0x80) return 1;
  std::size_t length = c0 < 0xC2 ? 0 : c0 < 0xE0 ? 2 : c0 < 0xF0 ? 3 : c0 < 0xF5 ? 4 : 0;
  if (length == 0 || length > rest.size()) return 0;
  for (std::size_t k = 1; k < length; ++k)
    if (!IsContinuation(static_cast<unsigned char>(rest[k]))) return 0;
  const auto c1 = static_cast<unsigned char>(rest[1]);
  // Overlong three- and four-byte forms, surrogates, and past U+10FFFF.
  if (c0 == 0xE0 && c1 < 0xA0) return 0;
  if (c0 == 0xED && c1 > 0x9F) return 0;
  if (c0 == 0xF0 && c1 < 0x90) return 0;
  if (c0 == 0xF4 && c1 > 0x8F) return 0;
  return length;
}

bool IsValidUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    // ASCII runs are by far the most common: skip them byte by byte.
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      ++i;
      continue;
    }
    const std::size_t length = Utf8CharLength(text.substr(i));
    if (length == 0) return false;
    i += length;
  }
  return true;
}

char32_t Utf8Decode(const char* p, std::size_t length) {
  const auto* u = reinterpret_cast<const unsigned char*>(p);
  switch (length) {
    case 1: return u[0];
    case 2: return (char32_t(u[0] & 0x1F) << 6) | (u[1] & 0x3F);
    case 3: return (char32_t(u[0] & 0x0F) << 12) | (char32_t(u[1] & 0x3F) << 6) | (u[2] & 0x3F);
    default:
      return (char32_t(u[0] & 0x07) << 18) | (char32_t(u[1] & 0x3F) << 12) |
             (char32_t(u[2] & 0x3F) << 6) | (u[3] & 0x3F);
  }
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace pelnor
