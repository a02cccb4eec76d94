#pragma once

// File names of attachments: characters no file name may hold, and the name
// an unnamed HTML part gets from the subject.

#include <string>
#include <string_view>

namespace pelnor {

// Removes the nine characters \ / : * ? " < > | from the UTF-8 `name`
// (in UTF-8 no byte of another character looks like one of them).
std::string RemoveForbiddenNameChars(std::string_view name);

// `subject` with its extension changed to ".html": when the last ".", "\"
// or ":" is a ".", everything from it is replaced; otherwise ".html" is
// appended. `subject` is UTF-8.
std::string HtmlNameFromSubject(std::string_view subject);

}  // namespace pelnor
