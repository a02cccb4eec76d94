#pragma once

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

namespace pelnor::testing {

// A private X desktop for one test program: Xvfb on a free display and
// trayer owning its system tray. Both are ended, by their process id, when
// the desktop goes.
class X11Desktop {
 public:
  // nullptr when it cannot be had; `whyNot` then says what is missing.
  // Without `withTray` the desktop has no tray until RestartTray.
  static std::unique_ptr<X11Desktop> Start(std::string& whyNot, bool withTray = true);
  X11Desktop() = default;
  ~X11Desktop();
  X11Desktop(const X11Desktop&) = delete;
  X11Desktop& operator=(const X11Desktop&) = delete;

  const std::string& Display() const { return display_; }

  // Ends trayer, if it runs, and starts a new one, as when the desktop's
  // panel (re)starts.
  bool RestartTray();

 private:
  std::string display_;
  pid_t xvfb_ = -1;
  pid_t trayer_ = -1;
};

// Runs a program to its end; its exit status, or -1 when it could not start.
int RunProgram(const std::vector<std::string>& argv);

// Starts a program without waiting for it; -1 when it could not start.
pid_t StartProgram(const std::vector<std::string>& argv);
// Whether it has ended; `status` is then its exit status (-1 when killed).
bool ProgramEnded(pid_t pid, int& status);

}  // namespace pelnor::testing
