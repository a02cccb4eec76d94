#pragma once

// File names of attachments: characters no file name may hold, and the name
// an unnamed HTML part gets from the subject.

#include <string>
#include <string_view>

namespace pelnor {

// Removes the nine characters \ / : * ? " < > | from `name`. Character
// aware: the second byte of a Shift_JIS double-byte character and the bytes
// of ISO-2022-JP two-byte text are never removed, so ソ (0x83 0x5C) and 表
// (0x95 0x5C) survive.
std::string RemoveForbiddenNameChars(std::string_view name);

// `subject` with its extension changed to ".html": when the last ".", "\"
// or ":" is a ".", everything from it is replaced; otherwise ".html" is
// appended. Trail bytes of double-byte characters are not delimiters.
std::string HtmlNameFromSubject(std::string_view subject);

}  // namespace pelnor
