#include "app/command_line.h"

#include <string_view>

namespace pelnor {
namespace {

constexpr std::string_view kProgramDirOption = "--program-dir";

std::string ProgramDirValue(const std::vector<std::string>& arguments, std::size_t& i) {
  const std::string& argument = arguments[i];
  if (argument.size() > kProgramDirOption.size()) return argument.substr(kProgramDirOption.size() + 1);
  if (i + 1 >= arguments.size()) throw CommandLineError("--program-dir needs a folder");
  return arguments[++i];
}

bool IsProgramDirOption(std::string_view argument) {
  return argument == kProgramDirOption ||
         (argument.starts_with(kProgramDirOption) && argument[kProgramDirOption.size()] == '=');
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  bool headless = false;
  bool once = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--headless") {
      headless = true;
    } else if (argument == "--check-once") {
      once = true;
    } else if (IsProgramDirOption(argument)) {
      line.ProgramDir = ProgramDirValue(arguments, i);
      if (line.ProgramDir->empty()) throw CommandLineError("--program-dir needs a folder");
    } else if (argument == "--help" || argument == "-h") {
      line.ShowHelp = true;
    } else if (argument == "--version") {
      line.ShowVersion = true;
    } else if (argument.starts_with("--")) {
      throw CommandLineError("unknown option " + argument);
    } else {
      line.ToolkitArguments.push_back(argument);
    }
  }
  line.Mode = once ? RunMode::CheckOnce : headless ? RunMode::Headless : RunMode::Desktop;
  if (line.Mode != RunMode::Desktop && !line.ToolkitArguments.empty())
    throw CommandLineError("unknown argument " + line.ToolkitArguments.front());
  return line;
}

std::string UsageText() {
  return "Usage: pelnor [--headless | --check-once] [--program-dir DIR]\n"
         "Prints new POP3 mail unattended.\n"
         "\n"
         "  (no option)          run in the desktop's notification area\n"
         "  --headless           run without tray, windows or display; errors also\n"
         "                       go to standard error; SIGTERM saves and ends\n"
         "  --check-once         check every account once and end: status 0 when\n"
         "                       each was checked without error, 1 otherwise\n"
         "  --program-dir DIR    keep the settings and the other files in DIR\n"
         "  --version            print the version and end\n"
         "  --help               print this text and end\n";
}

}  // namespace pelnor
