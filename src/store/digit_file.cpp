#include "store/digit_file.h"

#include <iostream>

#include "store/digit_codec.h"
#include "store/text_file.h"

namespace pelnor {

DigitFile DecodeDigitFile(const std::string& path, std::string_view text) {
  DigitFile file;
  std::vector<std::string> raw = SplitLines(text);
  for (size_t i = 0; i < raw.size(); ++i) {
    if (!IsDigitLine(raw[i])) {
      std::cerr << "pelnor: " << path << ":" << i + 1
                << ": line is not all digits, skipped\n";
      continue;
    }
    file.lines.push_back(DecodeDigits(raw[i]));
  }
  return file;
}

std::optional<DigitFile> ReadDigitFile(const std::string& path) {
  std::optional<std::string> text = ReadWholeFile(path);
  if (!text) return std::nullopt;
  return DecodeDigitFile(path, *text);
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
