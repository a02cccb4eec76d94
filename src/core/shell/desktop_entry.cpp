#include "core/shell/desktop_entry.h"

namespace pelnor {
namespace {

constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
constexpr std::string_view kEscapedInQuotes = "\"`$\\";

std::string DoublePercents(std::string_view text) {
  std::string out;
  for (char c : text) {
    out += c;
    if (c == '%') out += '%';
  }
  return out;
}

void AddLine(std::string& text, std::string_view key, const std::string& value) {
  text.append(key).append("=").append(value).append("\n");
}

std::string QuoteWord(std::string_view word) {
  if (!word.empty() && word.find_first_of(kReserved) == std::string_view::npos)
    return std::string(word);
  std::string quoted = "\"";
  for (char c : word) {
    if (kEscapedInQuotes.find(c) != std::string_view::npos) quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

}  // namespace

std::string QuoteExecArgument(std::string_view argument) {
  return DoublePercents(QuoteWord(argument));
}

std::string ArgumentsText(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& word : words) {
    if (!text.empty()) text += ' ';
    text += QuoteWord(word);
  }
  return text;
}

std::string EscapeValue(std::string_view value) {
  std::string out;
  for (size_t i = 0; i < value.size(); ++i) {
    switch (value[i]) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case ' ': out += i == 0 ? "\\s" : " "; break;
      default: out += value[i];
    }
  }
  return out;
}

std::string DesktopEntryText(const DesktopEntry& entry) {
  std::string exec = QuoteExecArgument(entry.ExecFile);
  if (!entry.Arguments.empty()) exec += " " + DoublePercents(entry.Arguments);
  std::string text = "[Desktop Entry]\n";
  AddLine(text, "Type", "Application");
  AddLine(text, "Version", "1.0");
  AddLine(text, "Name", EscapeValue(entry.Name));
  if (!entry.Comment.empty()) AddLine(text, "Comment", EscapeValue(entry.Comment));
  AddLine(text, "Exec", EscapeValue(exec));
  if (!entry.WorkDir.empty()) AddLine(text, "Path", EscapeValue(entry.WorkDir));
  if (!entry.Icon.empty()) AddLine(text, "Icon", EscapeValue(entry.Icon));
  AddLine(text, "Terminal", "false");
  AddLine(text, "X-Pelnor-ShowCmd", std::to_string(entry.ShowCmd));
  return text;
}

}  // namespace pelnor
