#pragma once

// Text of a mail into UTF-8: as its charset declares, or, without one,
// as far as its bytes tell.

#include <string>
#include <string_view>

namespace pelnor {

// `bytes` as UTF-8, decoded from `charset` (a MIME charset name, any case,
// quotes allowed). ISO-2022-JP and Shift_JIS keep the Windows mapping
// (0x8160 -> U+FF5E), EUC-JP the same through eucJP-ms. An empty name,
// "us-ascii" or a name the system converter does not know falls back to
// DecodeUnlabelledText. Never fails: undecodable bytes become U+FFFD.
std::string DecodeText(std::string_view bytes, std::string_view charset);

// True when text of 7-bit bytes without ESC decodes to itself in `charset`:
// so for every charset mail commonly declares, not for UTF-7, UTF-16 or
// HZ.
bool DecodesAsciiAsItself(std::string_view charset);

// Text that declares no charset: ISO-2022-JP when it holds its escapes,
// then UTF-8 when the bytes are valid UTF-8, then EUC-JP when the
// Japanese code detection says so, otherwise Shift_JIS (CP932). ASCII
// comes back unchanged.
std::string DecodeUnlabelledText(std::string_view bytes);

}  // namespace pelnor
