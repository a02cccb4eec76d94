#include "core/store/ini_file.h"

#include <algorithm>

#include "core/store/text_file.h"
#include "core/text/integer.h"

namespace pelnor {
namespace {

std::string_view Trim(std::string_view s) {
  size_t begin = s.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return {};
  size_t end = s.find_last_not_of(" \t");
  return s.substr(begin, end - begin + 1);
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x += 'a' - 'A';
    if (y >= 'A' && y <= 'Z') y += 'a' - 'A';
    if (x != y) return false;
  }
  return true;
}

// The name of a "[name]" line, or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
  std::string_view t = Trim(line);
  if (t.empty() || t.front() != '[') return std::nullopt;
  size_t close = t.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(t.substr(1, close - 1));
}

// The key of a "key=value" line, or nothing.
std::optional<std::string_view> KeyName(std::string_view line) {
  size_t eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(0, eq));
}

}  // namespace

IniFile::IniFile(std::string_view text) : lines_(SplitFileLines(text)) {}

IniFile::Found IniFile::Find(std::string_view section, std::string_view key) const {
  Found found{lines_.size(), lines_.size(), lines_.size()};
  for (size_t i = 0; i < lines_.size(); ++i) {
    std::optional<std::string_view> name = SectionName(lines_[i]);
    if (found.sectionLine == lines_.size()) {
      if (name && SameName(*name, section)) found.sectionLine = found.insertAt = i;
      continue;
    }
    if (name) break;  // the next section begins
    if (!Trim(lines_[i]).empty()) found.insertAt = i;
    std::optional<std::string_view> k = KeyName(lines_[i]);
    if (k && SameName(*k, key)) {
      found.keyLine = i;
      break;
    }
  }
  return found;
}

std::optional<std::string> IniFile::ReadValue(std::string_view section,
                                              std::string_view key) const {
  Found found = Find(section, key);
  if (found.keyLine == lines_.size()) return std::nullopt;
  const std::string& line = lines_[found.keyLine];
  return line.substr(line.find('=') + 1);
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                const std::string& fallback) const {
  return ReadValue(section, key).value_or(fallback);
}

int IniFile::ReadInteger(std::string_view section, std::string_view key, int fallback) const {
  std::optional<std::string> value = ReadValue(section, key);
  if (!value) return fallback;
  return ParseInteger(*value, kNumberAfterBlanks).value_or(fallback);
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
  return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  value = value.substr(0, value.find_first_of("\r\n"));
  Found found = Find(section, key);
  if (found.keyLine != lines_.size()) {
    std::string& line = lines_[found.keyLine];
    line = std::string(*KeyName(line)) + "=" + std::string(value);
    return;
  }
  std::string entry = std::string(key) + "=" + std::string(value);
  if (found.sectionLine == lines_.size()) {
    lines_.push_back("[" + std::string(section) + "]");
    lines_.push_back(std::move(entry));
    return;
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(found.insertAt) + 1, std::move(entry));
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

std::string IniFile::Text() const {
  std::string text;
  for (const std::string& line : lines_) {
    text += line;
    text += "\r\n";
  }
  return text;
}

}  // namespace pelnor
