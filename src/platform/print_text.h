#pragma once

// Shift_JIS <-> Unicode at the printer boundary. The rest of the program
// holds printed text as Shift_JIS bytes; only the printing layer sees QString.

#include <QString>

#include <string>
#include <string_view>

namespace pelnor {

// Invalid bytes become U+FFFD, so a damaged mail still prints.
QString FromSjis(std::string_view sjis);

// Characters with no Shift_JIS form become "?": printer and paper names come
// from the system and must never make the list unreadable.
std::string ToSjis(const QString& text);

}  // namespace pelnor
