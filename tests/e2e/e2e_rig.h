#pragma once

// The pieces of the whole-program test: a fresh program directory with the
// built executable, the child process running it on the private desktop,
// and the X windows it shows, found and clicked through xdotool.

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "support/files.h"

namespace pelnor::test {

// Polls `done` every 100 ms until it holds or `timeout` has passed.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

// What the built program cannot be run without here: root (for port 110),
// Dovecot, the CUPS chain, poppler-utils. Empty when all is there.
std::string MissingForWholeProgram();

// "LSAN_OPTIONS=..." for the program in the sanitizer build: what system
// libraries keep until exit is theirs. The suppressions file goes to `dir`.
std::string LeakSuppressions(const std::filesystem::path& dir);

// A program directory of its own, with HOME, XDG_RUNTIME_DIR and TMPDIR
// beside it, so that the program's lock and files meet nothing else.
class ProgramDirFixture {
 public:
  // Copies the executable and the manual found beside it.
  ProgramDirFixture(const std::filesystem::path& base, const std::filesystem::path& executable);

  const std::filesystem::path& Dir() const { return dir_; }
  std::filesystem::path Executable() const { return dir_ / "pelnor"; }
  std::filesystem::path RuntimeDir() const { return runtime_; }
  std::filesystem::path LockFile() const { return runtime_ / "EX_PELNOR.lock"; }
  // The environment of the program: the private desktop, tray and printer,
  // no session bus (Qt then embeds its icon into the XEmbed tray).
  std::vector<std::string> Environment() const;

  // Kind-1 lines of Log.txt ("<出力終了>"), converted to UTF-8, line ends cut.
  std::vector<std::string> OutputLogLines() const;

 private:
  std::filesystem::path dir_;
  std::filesystem::path home_;
  std::filesystem::path runtime_;
  std::filesystem::path tmp_;
  std::string lsanOptions_;
};

struct WindowBox {
  unsigned long Id = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
};

// xdotool's standard output, or nullopt when it failed.
std::optional<std::string> Xdotool(const std::vector<std::string>& arguments);
// The mapped windows of a process, with their place on the screen.
std::vector<WindowBox> VisibleWindowsOf(pid_t pid);
std::string WindowName(unsigned long id);
bool ClickAt(int x, int y, int button);

// The icon a process put into the tray: a small mapped window of its own.
std::optional<WindowBox> TrayIconOf(pid_t pid);
// Right-clicks the icon until its menu shows (a click while a check runs
// is ignored), and returns the menu's window.
std::optional<WindowBox> OpenTrayMenu(pid_t pid, std::chrono::milliseconds timeout);

}  // namespace pelnor::test
