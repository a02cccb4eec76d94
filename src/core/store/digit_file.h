#pragma once

#include <optional>
#include <string>
#include <string_view>
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

}  // namespace pelnor
