#pragma once

// What the program is asked to do on its command line: run in the tray (no
// arguments), run without a desktop (--headless), or check once and tell
// the result in the exit status (--check-once); --program-dir names the
// folder of the settings and the rest of the program's files.

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace pelnor {

enum class RunMode { Desktop, Headless, CheckOnce };

struct CommandLine {
  RunMode Mode = RunMode::Desktop;
  std::optional<std::string> ProgramDir;
  bool ShowHelp = false;
  bool ShowVersion = false;
  // The arguments that are not the program's own: the desktop toolkit's
  // (-platform, -session ...), which only the desktop program takes.
  std::vector<std::string> ToolkitArguments;
};

// An argument the program does not take; the text says which.
class CommandLineError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// `arguments` without the program's own name. "--check-once" wins over
// "--headless"; "--program-dir DIR" and "--program-dir=DIR" are the same.
// Throws CommandLineError for an unknown "--" option, a --program-dir
// without its folder, and any other argument outside the desktop program.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// What --help prints.
std::string UsageText();

// Exit statuses of the program without a desktop.
inline constexpr int kExitChecked = 0;     // every account checked without error
inline constexpr int kExitFailed = 1;      // an error, an end in the middle, nothing to check
inline constexpr int kExitUsage = 2;       // a wrong command line

}  // namespace pelnor
