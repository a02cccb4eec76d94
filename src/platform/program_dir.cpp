#include "platform/program_dir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <system_error>

#include "core/store/account_store.h"
#include "core/store/settings.h"

namespace fs = std::filesystem;

namespace pelnor {
namespace {

std::string WithSeparator(const fs::path& dir) {
  std::string text = dir.string();
  if (text.empty() || text.back() != '/') text += '/';
  return text;
}

bool Exists(const fs::path& path) {
  std::error_code ignored;
  return fs::exists(path, ignored);
}

bool HoldsProgramFiles(const fs::path& dir) {
  const std::string prefix = WithSeparator(dir);
  return Exists(SettingsFilePath(prefix)) || Exists(AccountFilePath(prefix));
}

// The folder itself, without a trailing separator.
fs::path FolderOf(const fs::path& dir) {
  fs::path folder = dir.lexically_normal();
  if (folder.filename().empty() && folder.has_parent_path()) folder = folder.parent_path();
  return folder;
}

// <prefix>/bin/pelnor with its data in <prefix>/share/pelnor.
bool IsInstalledBinDir(const fs::path& dir) {
  return Exists(dir.parent_path() / "share" / kConfigFolderName);
}

// Created with mode 0700: it holds passwords. A folder that exists keeps
// the mode its owner gave it.
fs::path CreatePrivateDir(const fs::path& dir) {
  std::error_code error;
  if (fs::is_directory(dir, error)) return dir;
  if (Exists(dir)) throw ProgramDirError(dir.string() + " is not a folder");
  if (dir.has_parent_path()) fs::create_directories(dir.parent_path(), error);
  if (!error && ::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
    error = std::error_code(errno, std::generic_category());
  if (error) throw ProgramDirError("cannot create " + dir.string() + ": " + error.message());
  return dir;
}

}  // namespace

std::string ExecutableDir() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) exe = fs::current_path() / "pelnor";
  return WithSeparator(exe.parent_path());
}

bool IsWritableDir(const fs::path& dir) { return ::access(dir.c_str(), W_OK) == 0; }

std::string ChooseProgramDir(const fs::path& executableDir, const ShellEnvironment& env,
                             const WritableTest& writable) {
  const fs::path folder = FolderOf(executableDir);
  if (HoldsProgramFiles(folder)) return WithSeparator(folder);
  if (!IsInstalledBinDir(folder) && writable(folder)) return WithSeparator(folder);
  const fs::path config = UserConfigDir(env);
  if (config.is_relative())
    throw ProgramDirError("no home folder for the settings; start with --program-dir DIR");
  return WithSeparator(CreatePrivateDir(config / kConfigFolderName));
}

std::string GivenProgramDir(const fs::path& dir) {
  std::error_code error;
  const fs::path absolute = FolderOf(fs::absolute(dir, error));
  if (error) throw ProgramDirError("cannot resolve " + dir.string() + ": " + error.message());
  return WithSeparator(CreatePrivateDir(absolute));
}

std::string ProgramDir() { return ChooseProgramDir(ExecutableDir(), ShellEnvironmentFromProcess()); }

}  // namespace pelnor
