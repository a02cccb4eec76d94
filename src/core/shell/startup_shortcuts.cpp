#include "core/shell/startup_shortcuts.h"

namespace pelnor {
namespace {

void CreateOne(ShortcutMaker& link, SysPath base, const std::string& target, const char* name,
               std::vector<std::string>& errors) {
  link.SCSystemPath = base;
  link.SCExecFile = target;
  link.SCFileName = name;
  try {
    link.CreateLink();
  } catch (const EShortCutError& e) {
    errors.emplace_back(e.what());
  }
}

}  // namespace

std::vector<std::string> CreateChosenShortcuts(ShortcutMaker& link,
                                               const std::string& executableDir, bool startup,
                                               bool desktop) {
  std::vector<std::string> errors;
  const std::string target = executableDir + kLinkTarget;
  link.SCIconName = kLinkIcon;
  if (startup) CreateOne(link, tpStartMenu, target, kStartupLinkName, errors);
  if (desktop) CreateOne(link, tpDesktop, target, kDesktopLinkName, errors);
  return errors;
}

}  // namespace pelnor
