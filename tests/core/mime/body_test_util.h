#pragma once

// Small helpers for the body-decoding tests.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

namespace pelnor::testing {

using Lines = std::vector<std::string>;

// Standard base64 with lines of `width` characters.
inline Lines Base64Lines(const std::string& data, std::size_t width = 76) {
  static const char* kAlphabet =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string enc;
  std::size_t i = 0;
  for (; i + 3 <= data.size(); i += 3) {
    const unsigned v = (static_cast<unsigned char>(data[i]) << 16) |
                       (static_cast<unsigned char>(data[i + 1]) << 8) |
                       static_cast<unsigned char>(data[i + 2]);
    for (int k = 18; k >= 0; k -= 6) enc += kAlphabet[(v >> k) & 63];
  }
  if (i < data.size()) {
    unsigned v = static_cast<unsigned char>(data[i]) << 16;
    if (i + 1 < data.size()) v |= static_cast<unsigned char>(data[i + 1]) << 8;
    enc += kAlphabet[(v >> 18) & 63];
    enc += kAlphabet[(v >> 12) & 63];
    enc += i + 1 < data.size() ? kAlphabet[(v >> 6) & 63] : '=';
    enc += '=';
  }
  Lines lines;
  for (std::size_t p = 0; p < enc.size(); p += width) lines.push_back(enc.substr(p, width));
  return lines;
}

// uuencoded lines of `data` (without begin and end lines); `zero` is the
// character written for the value 0 (grave accent or blank).
inline Lines UULines(const std::string& data, char zero = '`') {
  auto ch = [&](unsigned v) { return v == 0 ? zero : static_cast<char>(v + 0x20); };
  Lines lines;
  for (std::size_t p = 0; p < data.size(); p += 45) {
    const std::size_t n = std::min<std::size_t>(45, data.size() - p);
    std::string line(1, ch(static_cast<unsigned>(n)));
    for (std::size_t i = 0; i < n; i += 3) {
      unsigned v = 0;
      for (std::size_t k = 0; k < 3; ++k)
        v = (v << 8) | (i + k < n ? static_cast<unsigned char>(data[p + i + k]) : 0u);
      for (int s = 18; s >= 0; s -= 6) line += ch((v >> s) & 63);
    }
    lines.push_back(line);
  }
  return lines;
}

inline std::string Bytes(std::size_t size, unsigned seed) {
  std::string out(size, '\0');
  unsigned x = seed * 2654435761u + 1;
  for (char& c : out) {
    x = x * 1103515245u + 12345u;
    c = static_cast<char>(x >> 16);
  }
  return out;
}

}  // namespace pelnor::testing
