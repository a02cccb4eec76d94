#pragma once

// The launchers offered at the first start: one in the autostart folder, so
// the program runs at login, and one on the desktop. Both start "pelnor" in
// the executable's folder, whatever the running executable is called, and
// show the icon an installed program puts into the icon theme.

#include <string>
#include <vector>

#include "core/shell/shortcut_maker.h"

namespace pelnor {

inline constexpr char kLinkTarget[] = "pelnor";
inline constexpr char kLinkIcon[] = "pelnor";
inline constexpr char kStartupLinkName[] = "autostart/Pelnor.desktop";  // under tpStartMenu
inline constexpr char kDesktopLinkName[] = "Pelnor.desktop";            // under tpDesktop

// Writes the chosen launchers through `link` (its other properties, such
// as the arguments, are left as they are). One that fails does not stop the
// other; the returned texts name each failure, empty when all went well.
std::vector<std::string> CreateChosenShortcuts(ShortcutMaker& link,
                                               const std::string& executableDir, bool startup,
                                               bool desktop);

}  // namespace pelnor
