#include "core/store/digit_file.h"

#include <algorithm>
#include <iostream>

#include "core/store/digit_codec.h"
#include "core/store/text_file.h"

namespace pelnor {

std::vector<std::string> DecodeDigitLines(const std::string& path, std::string_view text) {
  std::vector<std::string> decoded;
  decoded.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
  // The lines of SplitFileLines, looked at where they lie: a file of mail
  // identities is read at every check.
  for (std::size_t number = 1; !text.empty(); ++number) {
    const std::size_t lf = text.find('\n');
    std::string_view line = text.substr(0, lf);
    if (lf != std::string_view::npos && !line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    if (IsDigitLine(line))
      decoded.push_back(DecodeDigits(line));
    else
      std::cerr << "pelnor: " << path << ":" << number << ": line is not all digits, skipped\n";
    if (lf == std::string_view::npos) break;
    text.remove_prefix(lf + 1);
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
