#pragma once

// Text basics on byte strings (Shift_JIS or ASCII): trimming, case, lines,
// and the numbers of a reply line. None of them fails on malformed text.

#include <string>
#include <string_view>
#include <vector>

namespace pelnor {

// --- text basics -----------------------------------------------------------
// "Blank" is any byte of code 32 or less. Case changes touch a-z / A-Z only,
// so Shift_JIS bytes pass unchanged.
std::string Trim(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);
std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);

// The text of a line list: every line followed by CR LF, joined.
std::string JoinLines(const std::vector<std::string>& lines);
// Splits a text into lines at CR LF, a lone CR or a lone LF. A final line
// break does not start another (empty) line.
std::vector<std::string> SplitLines(std::string_view text);

// `text` without any occurrence of `c`.
std::string RemoveChar(std::string_view text, char c);
// True for a Shift_JIS lead byte (0x81-0x9F, 0xE0-0xFC).
constexpr bool IsSjisLead(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}
// The `index`-th (1-based) space-separated word of `text` as a decimal
// 32-bit number (optional sign); `def` when there is no such word or it is
// not such a number.
int ExtractNumber(std::string_view text, int index, int def);

}  // namespace pelnor
