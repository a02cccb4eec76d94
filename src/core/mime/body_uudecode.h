#pragma once

// uuencode line decoding for attachments. The grave accent and the blank
// both stand for 0, the characters 0x21-0x5F for 1-63.

#include <cstddef>
#include <string_view>

namespace pelnor {

// Most bytes one line can yield.
constexpr std::size_t kUULineBytes = 45;

// True when every character UUDecodeLine reads of `line` (the count and at
// most 60 after it) lies in the alphabet; an empty line counts as data.
bool IsUUDataLine(std::string_view line);

// True for a data line of a whole 45 bytes ("M" and 60 characters): what
// real uuencoded data is made of, and text hardly ever is.
bool IsFullUULine(std::string_view line);

// Decodes one encoded line (count character first) into `out`, which has
// room for kUULineBytes bytes. At most 60 characters after the count are
// read; the line yields at most its count of bytes, missing bits being zero.
// Returns that count, or -1 when the line is no data line (IsUUDataLine).
// Bytes of `out` past the count may be overwritten.
int UUDecodeLine(std::string_view line, char* out);

// True for the word "end", in any case, with blanks around it allowed: the
// line that closes a uuencoded block inside text.
bool IsEndWord(std::string_view line);

// True for a line that ends the encoded data of an attachment: the word
// "end" as above, or a grave accent alone.
bool IsUUEndLine(std::string_view line);

}  // namespace pelnor
