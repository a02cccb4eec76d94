// Text basics, header-field lookup and the small POP3 helpers.

#include "mime/vek_util.h"

#include <cstdint>

#include "mime/line_scan.h"

namespace pelnor {
namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

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

char ToUpper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 32) : c; }
char ToLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; }

bool StartsWithUpper(std::string_view line, std::string_view key) {
  if (line.size() < key.size()) return false;
  for (std::size_t i = 0; i < key.size(); ++i) {
    if (ToUpper(line[i]) != key[i]) return false;
  }
  return true;
}

bool IsDecimal(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// The first ";" of a header value. Inside the two-byte mode of raw
// ISO-2022-JP text a ";" is half of a kanji (";3" is 山), not a separator.
std::size_t FindValueEnd(std::string_view value) {
  bool twoByte = false;
  for (std::size_t i = 0; i < value.size(); ++i) {
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

std::string Trim(std::string_view text) { return TrimRight(TrimLeft(text)); }

std::string TrimLeft(std::string_view text) {
  std::size_t b = 0;
  while (b < text.size() && IsBlank(text[b])) ++b;
  return std::string(text.substr(b));
}

std::string TrimRight(std::string_view text) {
  std::size_t e = text.size();
  while (e > 0 && IsBlank(text[e - 1])) --e;
  return std::string(text.substr(0, e));
}

std::string UpperCase(std::string_view text) {
  std::string s(text);
  for (char& c : s) c = ToUpper(c);
  return s;
}

std::string LowerCase(std::string_view text) {
  std::string s(text);
  for (char& c : s) c = ToLower(c);
  return s;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::size_t total = 0;
  for (const auto& l : lines) total += l.size() + 2;
  std::string text;
  text.reserve(total);
  for (const auto& l : lines) {
    text += l;
    text += "\r\n";
  }
  return text;
}

std::vector<std::string> SplitLines(std::string_view text) {
  // Counted first so the list is allocated once and no line is moved.
  const char* begin = text.data();
  const char* end = begin + text.size();
  std::vector<std::string> lines;
  lines.reserve(CountLines(begin, end));
  ForEachLine(begin, end, [&lines](const char* b, const char* e) { lines.emplace_back(b, e); });
  return lines;
}

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

std::string RemoveChar(std::string_view text, char c) {
  std::string out;
  out.reserve(text.size());
  for (char x : text) {
    if (x != c) out += x;
  }
  return out;
}

bool IsDottedAddress(std::string_view host) {
  int parts = 0;
  std::size_t start = 0;
  while (true) {
    const std::size_t dot = host.find('.', start);
    const std::string_view part = host.substr(start, dot == std::string_view::npos
                                                         ? std::string_view::npos
                                                         : dot - start);
    if (!IsDecimal(part) || part.size() > 3 || std::stoi(std::string(part)) > 255) {
      return false;
    }
    ++parts;
    if (dot == std::string_view::npos) break;
    start = dot + 1;
  }
  return parts == 4;
}

int ExtractNumber(std::string_view text, int index, int def) {
  std::string rest = Trim(text);
  for (int i = 1; i < index; ++i) {
    const std::size_t space = rest.find(' ');
    if (space == std::string::npos) return def;
    rest = Trim(std::string_view(rest).substr(space));
  }
  const std::size_t space = rest.find(' ');
  if (space != std::string::npos) rest = Trim(std::string_view(rest).substr(0, space));

  std::string_view digits = rest;
  bool negative = false;
  if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) {
    negative = digits[0] == '-';
    digits.remove_prefix(1);
  }
  if (!IsDecimal(digits)) return def;
  std::int64_t value = 0;
  for (char c : digits) {
    value = value * 10 + (c - '0');
    if (value > std::int64_t{INT32_MAX} + 1) return def;
  }
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return def;
  return static_cast<int>(value);
}

}  // namespace pelnor
