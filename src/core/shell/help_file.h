#pragma once

// The manual: an HTML file beside the executable, opened in the browser.

#include <string>

#include "core/shell/shell_open.h"

namespace pelnor {

inline constexpr char kHelpFileName[] = "pelnor.html";

// programDir (ending in "/") + kHelpFileName.
std::string HelpFilePath(const std::string& programDir);

// "file://" + the absolute path, each byte outside the unreserved set and
// "/" percent-encoded, so spaces, "#" and Japanese folder names survive.
std::string FileUrl(const std::string& absolutePath);

enum HelpResult { hrOpened, hrMissing, hrOpenFailed };

// Opens the manual. A missing file is reported as such and the opener is not
// asked, since a browser would only show its own error page.
HelpResult OpenHelp(const std::string& programDir, ShellOpener& opener);

}  // namespace pelnor
