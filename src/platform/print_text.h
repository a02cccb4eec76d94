#pragma once

// Text at the printer boundary: the drawn text comes as UTF-8, the names of
// printers, papers and fonts as Shift_JIS (as the account list stores
// them); only the printing layer sees QString.

#include <QString>

#include <string>
#include <string_view>

namespace pelnor {

// Invalid bytes become U+FFFD, so a damaged mail still prints.
QString FromSjis(std::string_view sjis);
QString FromUtf8(std::string_view utf8);

// Characters with no Shift_JIS form become "?": printer and paper names come
// from the system and must never make the list unreadable.
std::string ToSjis(const QString& text);

}  // namespace pelnor
