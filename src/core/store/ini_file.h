#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelnor {

// An INI profile held in memory, read and written like the Windows profile
// calls do: section and key names match without regard to ASCII letter case
// (blanks around them ignored), the first match counts, values are the bytes
// after "=" verbatim. Every line that is not written is kept as it was, so
// other sections, keys and comments survive a save. Lines end in CR LF.
class IniFile {
 public:
  IniFile() = default;
  explicit IniFile(std::string_view text);

  std::optional<std::string> ReadValue(std::string_view section, std::string_view key) const;

  // The value, or `fallback` when the key is missing.
  std::string ReadString(std::string_view section, std::string_view key,
                         const std::string& fallback) const;
  // A whole decimal number (blanks before it allowed) in the int range, or
  // `fallback` when the key is missing or its text is anything else.
  int ReadInteger(std::string_view section, std::string_view key, int fallback) const;
  // Read as an integer, any non-zero value being true.
  bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;

  // Sets a value in place; a new key goes after the last line of its
  // section, a new section at the end of the file. A value stops at its
  // first line break, which a line-based file cannot hold.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int value);
  void WriteBool(std::string_view section, std::string_view key, bool value);  // "1" / "0"

  // The whole file, every line ended by CR LF.
  std::string Text() const;

 private:
  struct Found {
    size_t sectionLine;  // lines_.size() when the section is missing
    size_t keyLine;      // lines_.size() when the key is missing
    size_t insertAt;     // after the last non-blank line of the section
  };
  Found Find(std::string_view section, std::string_view key) const;

  std::vector<std::string> lines_;
};

}  // namespace pelnor
