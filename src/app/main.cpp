// The program entry: the command line decides between the program in the
// desktop's tray and the one without a desktop.

#include <cstdio>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/desktop_program.h"
#include "app/headless_program.h"
#include "core/pop3/heap_policy.h"

int main(int argc, char* argv[]) {
  pelnor::ShareOneHeapAcrossThreads();
  pelnor::CommandLine line;
  try {
    line = pelnor::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const pelnor::CommandLineError& e) {
    std::fprintf(stderr, "pelnor: %s\nTry 'pelnor --help'.\n", e.what());
    return pelnor::kExitUsage;
  }
  if (line.ShowHelp) {
    std::fputs(pelnor::UsageText().c_str(), stdout);
    return 0;
  }
  if (line.ShowVersion) {
    std::puts("pelnor " PELNOR_VERSION);
    return 0;
  }
  if (line.Mode == pelnor::RunMode::Desktop) return pelnor::RunDesktop(argc, argv, line);
  return pelnor::RunHeadless(argc, argv, line);
}
