#pragma once

#include <string>
#include <string_view>

namespace pelnor {

// Converts a fixed UTF-8 text of the program (a log marker, a printed label)
// to Shift_JIS (code page 932). Sources are UTF-8; files and printouts are not.
// Throws std::runtime_error for text that has no Shift_JIS form.
std::string Sjis(std::string_view utf8);

// For texts that must reach a Shift_JIS file whatever they hold (an
// exception's text in the log): a character without a Shift_JIS form, or a
// byte that is not UTF-8, becomes "〓".
std::string Utf8ToSjisLossy(std::string_view utf8);

// The reverse, for edges that need Unicode (file names, diagnostics). Bytes
// that are not valid Shift_JIS come out as U+FFFD.
std::string SjisToUtf8(std::string_view sjis);

// Text that may come either way (an exception's text: ours in UTF-8, a
// printer's in Shift_JIS), in UTF-8.
std::string AnyTextToUtf8(std::string_view text);

}  // namespace pelnor
