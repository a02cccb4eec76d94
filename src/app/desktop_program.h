#pragma once

#include "app/command_line.h"

namespace pelnor {

// The program in the desktop's tray: one instance per user, no window of
// its own at start, then the message loop. Returns the exit status.
int RunDesktop(int& argc, char** argv, const CommandLine& line);

}  // namespace pelnor
