#include "core/text/japanese_code.h"

#include <array>

namespace pelnor {
namespace {

constexpr char kPad = '=';

// Value of each base64 character; anything else reads as 0 so that broken
// words still decode to something instead of failing.
constexpr std::array<unsigned char, 256> MakeValues() {
  std::array<unsigned char, 256> values{};
  const char* alphabet =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  for (unsigned char v = 0; v < 64; ++v) {
    values[static_cast<unsigned char>(alphabet[v])] = v;
  }
  return values;
}

constexpr std::array<unsigned char, 256> kValues = MakeValues();

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

// A group cut short by the end of the text reads as padded.
char CharAt(std::string_view text, std::size_t pos) {
  return pos < text.size() ? text[pos] : kPad;
}

}  // namespace

std::string Base64DecodeText(std::string_view text) {
  std::string out;
  out.reserve(text.size() / 4 * 3 + 3);
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (IsLineBreak(text[pos])) {
      ++pos;
      continue;
    }
    // A single leftover character holds no whole byte.
    if (pos + 1 >= text.size()) break;
    const char c[4] = {text[pos], text[pos + 1], CharAt(text, pos + 2),
                       CharAt(text, pos + 3)};
    pos += 4;
    unsigned v = 0;
    for (char ch : c) v = (v << 6) | kValues[static_cast<unsigned char>(ch)];
    out.push_back(static_cast<char>(v >> 16));
    if (c[2] == kPad) continue;
    out.push_back(static_cast<char>(v >> 8));
    if (c[3] == kPad) continue;
    out.push_back(static_cast<char>(v));
  }
  return out;
}

}  // namespace pelnor
