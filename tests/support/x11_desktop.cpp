#include "x11_desktop.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

extern char** environ;

namespace pelnor::testing {
namespace {

bool OnPath(const std::string& program) {
  return RunProgram({"sh", "-c", "command -v " + program + " >/dev/null"}) == 0;
}

pid_t Spawn(const std::vector<std::string>& argv, const posix_spawn_file_actions_t* actions = nullptr) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawnp(&pid, args[0], actions, nullptr, args.data(), environ) != 0) return -1;
  return pid;
}

void End(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
}

// Xvfb writes its display number to the pipe once it accepts clients.
std::string ReadDisplayNumber(int fd) {
  std::string number;
  pollfd p{fd, POLLIN, 0};
  char c;
  while (poll(&p, 1, 10000) > 0 && read(fd, &c, 1) == 1 && c != '\n') number += c;
  return number;
}

}  // namespace

pid_t StartProgram(const std::vector<std::string>& argv) { return Spawn(argv); }

bool ProgramEnded(pid_t pid, int& status) {
  int raw = 0;
  if (waitpid(pid, &raw, WNOHANG) != pid) return false;
  status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return true;
}

int RunProgram(const std::vector<std::string>& argv) {
  const pid_t pid = Spawn(argv);
  if (pid < 0) return -1;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

std::unique_ptr<X11Desktop> X11Desktop::Start(std::string& whyNot, bool withTray) {
  for (const char* program : {"Xvfb", "trayer", "xdotool"}) {
    if (!OnPath(program)) {
      whyNot = std::string(program) + " is not installed (scripts/setup installs it)";
      return nullptr;
    }
  }
  auto desktop = std::make_unique<X11Desktop>();
  int fds[2];
  if (pipe(fds) != 0) {
    whyNot = "no pipe for Xvfb";
    return nullptr;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  desktop->xvfb_ = Spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1024x768x24",
                          "-nolisten", "tcp"},
                         &actions);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  const std::string number = ReadDisplayNumber(fds[0]);
  close(fds[0]);
  if (desktop->xvfb_ < 0 || number.empty()) {
    whyNot = "Xvfb did not start";
    return nullptr;
  }
  desktop->display_ = ":" + number;
  setenv("DISPLAY", desktop->display_.c_str(), 1);
  if (withTray && !desktop->RestartTray()) {
    whyNot = "trayer did not start";
    return nullptr;
  }
  return desktop;
}

bool X11Desktop::RestartTray() {
  End(trayer_);
  trayer_ = Spawn({"trayer", "--edge", "top", "--align", "right", "--widthtype", "request", "--height", "32",
                   "--SetDockType", "true", "--transparent", "false"});
  return trayer_ > 0;
}

X11Desktop::~X11Desktop() {
  End(trayer_);
  End(xvfb_);
}

}  // namespace pelnor::testing
