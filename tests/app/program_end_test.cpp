// The built program ended by a signal, as a logout or a shutdown ends it:
// it saves its settings, releases its lock and ends with status 0. It runs
// on the offscreen platform in a program directory of its own.

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "support/store_test_util.h"
#include "support/temp_dir.h"

extern char** environ;

namespace pelnor {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The program writes the file while we look: not there yet reads as empty.
std::string ReadIfThere(const fs::path& path) {
  return fs::exists(path) ? test::ReadBytes(path.string()) : std::string();
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto until = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(50ms);
  }
  return true;
}

// The program with its own directory, home, runtime and temporary
// directories; killed by its PID if a test leaves it running.
class ProgramRun {
 public:
  ProgramRun() {
    for (const char* dir : {"Pelnor", "home", "run", "tmp"}) fs::create_directory(base_ / dir);
    fs::permissions(base_ / "run", fs::perms::owner_all, fs::perm_options::replace);
    fs::copy_file(PELNOR_EXECUTABLE, Dir() / "pelnor");
  }
  ~ProgramRun() {
    if (pid_ > 0 && !ended_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }

  fs::path Dir() const { return base_ / "Pelnor"; }
  fs::path LockFile() const { return base_ / "run" / "EX_PELNOR.lock"; }
  pid_t Pid() const { return pid_; }

  bool Start() {
    std::vector<std::string> env = {"HOME=" + (base_ / "home").string(),
                                    "XDG_RUNTIME_DIR=" + (base_ / "run").string(),
                                    "TMPDIR=" + (base_ / "tmp").string(),
                                    "QT_QPA_PLATFORM=offscreen"};
    for (char** entry = environ; *entry != nullptr; ++entry) {
      const std::string text = *entry;
      const std::string name = text.substr(0, text.find('='));
      if (name != "HOME" && name != "XDG_RUNTIME_DIR" && name != "TMPDIR" &&
          name != "QT_QPA_PLATFORM" && name != "DISPLAY")
        env.push_back(text);
    }
    std::vector<char*> envp;
    for (std::string& entry : env) envp.push_back(entry.data());
    envp.push_back(nullptr);
    const std::string program = (Dir() / "pelnor").string();
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    return posix_spawn(&pid_, program.c_str(), nullptr, nullptr, argv, envp.data()) == 0;
  }

  // The exit status once it has ended by itself; -1 when killed by a
  // signal or still running after `timeout`.
  int WaitForEnd(std::chrono::milliseconds timeout) {
    int status = 0;
    if (!WaitUntil([&] { return waitpid(pid_, &status, WNOHANG) == pid_; }, timeout)) return -1;
    ended_ = true;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  test::TempDir temp_{"pelnor-end-"};
  const fs::path base_ = temp_.Path();
  pid_t pid_ = -1;
  bool ended_ = false;
};

TEST(ProgramEndTest, SigtermSavesTheSettingsAndEndsWithStatusZero) {
  ProgramRun run;
  test::WriteBytes((run.Dir() / "Defult.ini").string(),
                   "[File]\r\nTime=120000\r\n[System]\r\nFirstStart=0\r\n");  // version "old"
  ASSERT_TRUE(run.Start());
  const fs::path ini = run.Dir() / "Defult.ini";
  // Start-up has upgraded the records and saved the version it reached.
  ASSERT_TRUE(WaitUntil([&] { return ReadIfThere(ini).find("version=1.7") != std::string::npos; }, 20s))
      << ReadIfThere(ini);
  ASSERT_TRUE(fs::exists(run.LockFile()));
  fs::remove(ini);

  ASSERT_EQ(kill(run.Pid(), SIGTERM), 0);
  EXPECT_EQ(run.WaitForEnd(10s), 0);
  const std::string saved = ReadIfThere(ini);
  EXPECT_NE(saved.find("Time=120000"), std::string::npos) << saved;
  EXPECT_NE(saved.find("version=1.7"), std::string::npos) << saved;
  EXPECT_FALSE(fs::exists(run.LockFile()));
}

}  // namespace
}  // namespace pelnor
