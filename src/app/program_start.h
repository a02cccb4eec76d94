#pragma once

// What the desktop program and the one without a desktop start with alike:
// the one-instance lock, the program directory, the POP3 client of a check.

#include <QLockFile>

#include <memory>
#include <string>

#include "app/command_line.h"
#include "core/check/check_cycle.h"
#include "core/check/event_pump.h"

namespace pelnor {

// Marks that an instance runs for this user; null when one runs already.
std::unique_ptr<QLockFile> LockInstance();

// The folder on the command line, else the one ProgramDir() chooses.
// Throws ProgramDirError.
std::string ProgramDirFor(const CommandLine& line);

// The launchers' command-line tail: the program directory when the command
// line named it, so that a launcher starts the program on the same files.
std::string LauncherArgumentsFor(const CommandLine& line, const std::string& programDir);

// The cycle's POP3 clients, waiting through `pump`.
CheckCycle::Pop3ClientFactory Pop3ClientsOn(EventPump& pump);

}  // namespace pelnor
