#pragma once

// Where the program keeps its files (Defult.ini, User.inf, the histories,
// Log.txt, attach/, PDF/): its program directory, a path ending in "/".
//
// A program run from a folder of its own (a build, a copy carried over from
// the Windows program) keeps its files beside the executable. An installed
// program cannot: its folder is shared (/usr/bin) and mostly not writable,
// so each user gets $XDG_CONFIG_HOME/pelnor/ instead.

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>

#include "core/shell/shell_environment.h"

namespace pelnor {

// A program directory that cannot be had; the text names the folder.
class ProgramDirError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr char kConfigFolderName[] = "pelnor";

// Directory of the running executable, ending in "/".
std::string ExecutableDir();

// Whether the running user may create files in `dir`.
using WritableTest = std::function<bool(const std::filesystem::path& dir)>;
bool IsWritableDir(const std::filesystem::path& dir);

// The program directory of an executable in `executableDir`:
//  - that folder when it holds Defult.ini or User.inf;
//  - else that folder when it is writable and not the bin folder of an
//    installed program (one with share/pelnor beside it: root may write
//    to /usr/bin, but no settings belong there);
//  - else <config>/pelnor/ of `env`, created with mode 0700 when missing.
// Throws ProgramDirError when the configuration folder is unknown (no home)
// or cannot be created.
std::string ChooseProgramDir(const std::filesystem::path& executableDir, const ShellEnvironment& env,
                             const WritableTest& writable = IsWritableDir);

// The folder named on the command line, absolute, created with mode 0700
// when missing. Throws ProgramDirError when it is no folder or cannot be
// created.
std::string GivenProgramDir(const std::filesystem::path& dir);

// ChooseProgramDir for the running executable and the user's environment.
std::string ProgramDir();

}  // namespace pelnor
