#pragma once

// Exception texts on their way into the Shift_JIS log. Our own texts are
// ASCII and the paths in them UTF-8; a text that is not UTF-8 already holds
// Shift_JIS (an alias, a server's words) and stays as it is.

#include <string>
#include <string_view>

#include "core/text/utf8.h"

namespace pelnor {

std::string LogTextOf(std::string_view what);

}  // namespace pelnor
