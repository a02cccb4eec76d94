#include "core/mime/header_fields.h"

#include "core/text/text_util.h"

namespace pelnor {
namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

char ToUpper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 32) : c; }

// Header text may carry raw ISO-2022-JP; its leading ESC must survive the
// trimming of a value or a folded line, or the text can no longer be
// converted.
std::string TrimHeaderText(std::string_view text) {
  std::size_t b = 0;
  while (b < text.size() && IsBlank(text[b]) && text[b] != '\x1b') ++b;
  std::size_t e = text.size();
  while (e > b && IsBlank(text[e - 1]) && text[e - 1] != '\x1b') --e;
  return std::string(text.substr(b, e - b));
}

bool StartsWithUpper(std::string_view line, std::string_view key) {
  if (line.size() < key.size()) return false;
  for (std::size_t i = 0; i < key.size(); ++i) {
    if (ToUpper(line[i]) != key[i]) return false;
  }
  return true;
}

// Where the encoded word "=?charset?X?text?=" starting at `at` ends (just
// after its "?="), or `at` when none starts there.
std::size_t EncodedWordEnd(std::string_view value, std::size_t at) {
  if (value.compare(at, 2, "=?") != 0) return at;
  const std::size_t charsetEnd = value.find('?', at + 2);
  if (charsetEnd == std::string_view::npos || charsetEnd + 2 >= value.size() ||
      value[charsetEnd + 2] != '?')
    return at;
  const std::size_t end = value.find("?=", charsetEnd + 3);
  return end == std::string_view::npos ? at : end + 2;
}

// The first ";" of a header value. Inside the two-byte mode of raw
// ISO-2022-JP text a ";" is half of a kanji (";3" is 山), and inside an
// encoded word it is encoded text (ISO-2022-JP Q words hold them), not a
// separator.
std::size_t FindValueEnd(std::string_view value) {
  bool twoByte = false;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (!twoByte && value[i] == '=') {
      const std::size_t end = EncodedWordEnd(value, i);
      if (end != i) {
        i = end - 1;
        continue;
      }
    }
    if (value[i] == '\x1b' && i + 1 < value.size()) {
      if (value[i + 1] == '$') twoByte = true;
      if (value[i + 1] == '(') twoByte = false;
      i += 2;
    } else if (value[i] == ';' && !twoByte) {
      return i;
    }
  }
  return std::string_view::npos;
}

}  // namespace

std::optional<std::string> FindHeader(std::string_view key,
                                      const std::vector<std::string>& lines) {
  for (std::size_t i = 0; i < lines.size() && !lines[i].empty(); ++i) {
    if (!StartsWithUpper(lines[i], key)) continue;
    std::string result = lines[i];
    // Folded text is joined without the folding blank.
    for (std::size_t j = i + 1; j < lines.size(); ++j) {
      const std::string& next = lines[j];
      if (next.empty() || (next[0] != ' ' && next[0] != '\t')) break;
      result += TrimHeaderText(next);
    }
    return result;
  }
  return std::nullopt;
}

std::string GetParam(std::string_view key, std::string_view text) {
  const std::size_t at = UpperCase(text).find(key);
  if (at == std::string::npos) return {};
  std::string value = TrimHeaderText(text.substr(at + key.size()));
  const std::size_t semi = FindValueEnd(value);
  if (semi != std::string::npos) value = TrimHeaderText(std::string_view(value).substr(0, semi));
  return value;
}

}  // namespace pelnor
