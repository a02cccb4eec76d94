#include "core/store/digit_file.h"

#include <iostream>

#include "core/store/digit_codec.h"
#include "core/store/text_file.h"

namespace pelnor {

std::vector<std::string> DecodeDigitLines(const std::string& path, std::string_view text) {
  std::vector<std::string> decoded;
  std::vector<std::string> raw = SplitFileLines(text);
  for (size_t i = 0; i < raw.size(); ++i) {
    if (!IsDigitLine(raw[i])) {
      std::cerr << "pelnor: " << path << ":" << i + 1
                << ": line is not all digits, skipped\n";
      continue;
    }
    decoded.push_back(DecodeDigits(raw[i]));
  }
  return decoded;
}

std::optional<std::vector<std::string>> ReadDigitFile(const std::string& path) {
  std::optional<std::string> text = ReadWholeFile(path);
  if (!text) return std::nullopt;
  return DecodeDigitLines(path, *text);
}

std::string EncodeDigitLines(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) {
    out += EncodeDigits(line);
    out += "\r\n";
  }
  return out;
}

}  // namespace pelnor
