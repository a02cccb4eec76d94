#pragma once

// Encoded words ("=?charset?B?...?=") and the Q and B decodings they use.
// None of them fails on malformed mail.

#include <string>
#include <string_view>

namespace pelnor {

// Decodes every "=?charset?X?...?=" word (Q or B) into Shift_JIS. Words with
// another letter are kept as they are; an unterminated word ends decoding.
std::string DecodeWords(std::string_view text);

// Quoted-printable. `underscoreAsBlank` is set for encoded words, clear for
// bodies. "=XX" that is not hex gives "@"; a cut-off "=" ends the output.
std::string QDecode(std::string_view text, bool underscoreAsBlank);

// Base64 of encoded words and text bodies; out-of-alphabet characters count
// as 63, a group starting with a blank ends the input.
std::string BDecode(std::string_view text);

// Replaces every "=?ISO-2022-JP?B?...?=" (any case) by its JIS bytes
// followed by ESC "(J".
std::string DecodeJisBWords(std::string_view text);

}  // namespace pelnor
