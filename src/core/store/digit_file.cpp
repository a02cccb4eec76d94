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

std::vector<std::string> DigitLineFile::Load() {
  std::optional<std::string> text = ReadWholeFile(path_);
  endsInsideLine_ = text && !text->empty() && text->back() != '\n';
  return text ? DecodeDigitLines(path_, *text) : std::vector<std::string>{};
}

void DigitLineFile::Append(const std::string& line) {
  std::string bytes = endsInsideLine_ ? "\r\n" : "";
  bytes += EncodeDigits(line) + "\r\n";
  AppendToFile(path_, bytes, FileAccess::kOwnerOnly);
  endsInsideLine_ = false;
}

void DigitLineFile::Rewrite(const std::vector<std::string>& lines) {
  ReplaceFile(path_, EncodeDigitLines(lines), FileAccess::kOwnerOnly);
  endsInsideLine_ = false;
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
