#pragma once

// The manual: an HTML file opened in the browser, found beside the
// executable (a build, a copied program) or in the installed data folder
// (<prefix>/share/pelnor/ for <prefix>/bin/pelnor).

#include <optional>
#include <string>

#include "core/shell/shell_open.h"

namespace pelnor {

inline constexpr char kHelpFileName[] = "pelnor.html";
// The installed data folder, relative to the executable's folder.
inline constexpr char kInstalledDataDir[] = "../share/pelnor/";

// dir (ending in "/") + kHelpFileName.
std::string HelpFilePath(const std::string& dir);

// The manual beside the executable in `executableDir` (ending in "/"), else
// the one in the installed data folder; nothing when neither is there.
std::optional<std::string> FindHelpFile(const std::string& executableDir);

// "file://" + the absolute path, each byte outside the unreserved set and
// "/" percent-encoded, so spaces, "#" and Japanese folder names survive.
std::string FileUrl(const std::string& absolutePath);

enum HelpResult { hrOpened, hrMissing, hrOpenFailed };

// Opens the manual FindHelpFile finds. A missing file is reported as such
// and the opener is not asked, since a browser would only show its own
// error page.
HelpResult OpenHelp(const std::string& executableDir, ShellOpener& opener);

}  // namespace pelnor
