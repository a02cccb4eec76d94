#pragma once

#include "app/command_line.h"

namespace pelnor {

// The program without tray, windows or display: the desktop program's
// mail checker on the offscreen platform (the printers still draw through
// Qt), its errors also on the standard error, where a service manager's
// journal keeps them, the mails printed on the standard output. With
// RunMode::Headless it checks at its interval until a signal ends it (exit
// status 0); with RunMode::CheckOnce it checks once and ends with
// kExitChecked or kExitFailed.
int RunHeadless(int& argc, char** argv, const CommandLine& line);

}  // namespace pelnor
