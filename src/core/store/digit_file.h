#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pelnor {

// Decodes every line of `text`, a file of digit-coded lines (User.inf, a
// history file) read from `path`, in file order. A line holding anything but
// digits is skipped with a warning on standard error naming the file and
// line number: decoding it would invent bytes.
std::vector<std::string> DecodeDigitLines(const std::string& path, std::string_view text);

// Reads the file and decodes it as above. Nothing when the file does not
// exist; StoreError when it cannot be read.
std::optional<std::vector<std::string>> ReadDigitFile(const std::string& path);

// Encodes each line and ends it with CR LF.
std::string EncodeDigitLines(const std::vector<std::string>& lines);

// A file of digit-coded lines that is read once and then only added to,
// or rewritten whole, readable by its owner only (the per-account files
// of mail identities). Throws StoreError naming the file.
class DigitLineFile {
 public:
  explicit DigitLineFile(std::string path) : path_(std::move(path)) {}

  // The decoded lines; none when the file does not exist.
  std::vector<std::string> Load();
  // Appends one line. A last line cut short by an interrupted append is
  // ended first, so it cannot swallow this one.
  void Append(const std::string& line);
  // Replaces the file by these lines, atomically.
  void Rewrite(const std::vector<std::string>& lines);

  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  bool endsInsideLine_ = false;
};

}  // namespace pelnor
