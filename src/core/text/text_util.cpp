#include "core/text/text_util.h"

#include "core/text/integer.h"
#include "core/text/line_scan.h"

namespace pelnor {
namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

char ToUpper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 32) : c; }
char ToLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; }

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

std::string RemoveChar(std::string_view text, char c) {
  std::string out;
  out.reserve(text.size());
  for (char x : text) {
    if (x != c) out += x;
  }
  return out;
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
  return ParseInteger(rest, kSignedNumber).value_or(def);
}

}  // namespace pelnor
