#include "core/shell/shortcut_maker.h"

#include <filesystem>
#include <system_error>

#include "core/shell/desktop_entry.h"
#include "core/store/atomic_file.h"

namespace fs = std::filesystem;

namespace pelnor {
namespace {

fs::path BaseFolder(SysPath base, const ShellEnvironment& env) {
  switch (base) {
    case tpDesktop: return DesktopDir(env);
    case tpStartMenu: return UserConfigDir(env);
    case tpBlank: break;
  }
  return {};
}

[[noreturn]] void Fail(const std::string& what, const fs::path& path, const std::error_code& error) {
  throw EShortCutError(what + " " + path.string() + ": " + error.message());
}

}  // namespace

int ShowCommand(ShowMode mode) {
  switch (mode) {
    case tsMax: return 3;
    case tsMin: return 7;
    case tsNormal: break;
  }
  return 1;
}

std::string ShortcutMaker::LinkPath() const {
  return (BaseFolder(SCSystemPath, env_) / SCFileName).string();
}

void ShortcutMaker::CreateLink() const {
  const fs::path path = LinkPath();
  // Without a home the base folder would be relative to wherever we run.
  if (SCSystemPath != tpBlank && path.is_relative())
    throw EShortCutError("no home folder for " + path.string());
  DesktopEntry entry{fs::path(SCFileName).stem().string(), SCDescription, SCExecFile, SCArguments,
                      SCWorkDir, ShowCommand(SCShowCmd), SCIconName};
  std::error_code error;
  if (path.has_parent_path()) {
    fs::create_directories(path.parent_path(), error);
    if (error) Fail("cannot create the folder of", path, error);
  }
  try {
    ReplaceFile(path.string(), DesktopEntryText(entry), FileAccess::kKeepOrShared);
  } catch (const std::runtime_error& e) {
    throw EShortCutError(e.what());
  }
  fs::permissions(path, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                  fs::perm_options::add, error);
  if (error) Fail("cannot mark as executable", path, error);
}

}  // namespace pelnor
