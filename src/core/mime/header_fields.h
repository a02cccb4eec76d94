#pragma once

// Finding header fields and their parameters in the raw lines of a mail.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelnor {

// Finds the first line (before the first empty line) whose upper-cased form
// begins with `key` (upper case, colon included) and returns it with its
// continuation lines appended, each trimmed, with nothing in between.
// (Header trimming spares ESC, so raw ISO-2022-JP text stays convertible.)
std::optional<std::string> FindHeader(std::string_view key,
                                      const std::vector<std::string>& lines);

// The trimmed value after the first `key` (upper case) found in the
// upper-cased `text`, cut before its first ";" (one outside raw
// ISO-2022-JP two-byte text and outside encoded words). Empty when `key`
// is absent.
std::string GetParam(std::string_view key, std::string_view text);

}  // namespace pelnor
