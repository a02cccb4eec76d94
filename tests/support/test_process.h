#pragma once

// Child processes for integration tests: started with posix_spawn, output
// kept in a log file, stopped by their own PID only.

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace pelnor::test {

// This process's environment with `overrides` ("NAME=value") put in.
std::vector<std::string> EnvironmentWith(const std::vector<std::string>& overrides);
// `env` without the variables `names`.
std::vector<std::string> EnvironmentWithout(std::vector<std::string> env,
                                            const std::vector<std::string>& names);

class ChildProcess {
 public:
  // Starts argv[0] (looked up in PATH); stdout and stderr are appended to `log`,
  // or stderr to `errorLog` when one is given.
  // Throws std::runtime_error when it cannot be started.
  ChildProcess(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                const std::filesystem::path& log, const std::filesystem::path& errorLog = {});
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t Pid() const { return pid_; }
  bool Running();
  // Waits for the end; the exit code, or -1 after a signal.
  int Wait();
  // SIGTERM, then SIGKILL when it has not ended after `grace`.
  void Stop(std::chrono::milliseconds grace = std::chrono::seconds(5));

 private:
  void Reap(int status);

  pid_t pid_ = -1;
  int exitCode_ = -1;
};

// Runs a command to its end and returns its exit code (-1 after a signal).
int RunCommand(const std::vector<std::string>& argv, const std::vector<std::string>& env,
               const std::filesystem::path& log);

// Runs `body` in a forked copy of this process, which then ends at once
// with _exit: no destructor, no clean-up, as when a program is killed.
// Returns 0 when `body` returned, 1 when it threw, -1 after a signal.
int RunInChildProcess(const std::function<void()>& body);

// Full path of a tool from PATH, /usr/sbin or /sbin; empty when missing.
std::string FindTool(const std::string& name);

// A TCP port on 127.0.0.1 that nothing listens on right now.
int FreeLoopbackPort();

// True once something accepts connections on 127.0.0.1:`port`.
bool WaitForPort(int port, std::chrono::milliseconds timeout);

}  // namespace pelnor::test
