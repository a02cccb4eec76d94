#pragma once

#include <string>

namespace pelnor {

// The text of an errno value, in English whatever the machine's locale, so
// the log and the messages speak one language.
std::string ErrorText(int errnum);

}  // namespace pelnor
