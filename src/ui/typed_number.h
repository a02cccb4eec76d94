#pragma once

// A number as typed into a dialog with the input method on: "１０", "－５".

#include <QString>

#include <string>

namespace pelnor {

// `typed` with the full-width digits U+FF10 to U+FF19 turned into "0" to
// "9", and the full-width hyphen-minus U+FF0D and the minus sign U+2212 into
// "-"; every other character stays, so the number's own rule still refuses
// what it refuses (a sign where none may stand, too). UTF-8, for the core.
std::string TypedNumberText(const QString& typed);

}  // namespace pelnor
