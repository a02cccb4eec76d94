#pragma once

#include <string>

namespace pelnor {

// Directory of the running executable, ending in a separator. The settings,
// account list, history files and log all live there.
std::string ProgramDir();

}  // namespace pelnor
