#pragma once

// The launchers offered at the first start: one in the autostart folder, so
// the program runs at login, and one on the desktop. Both start "pelnor" in
// the program directory, whatever the running executable is called.

#include <string>
#include <vector>

#include "core/shell/shortcut_maker.h"

namespace pelnor {

inline constexpr char kLinkTarget[] = "pelnor";
inline constexpr char kStartupLinkName[] = "autostart/Pelnor.desktop";  // under tpStartMenu
inline constexpr char kDesktopLinkName[] = "Pelnor.desktop";            // under tpDesktop

// Writes the chosen launchers through `link` (its other properties are left
// as they are). One that fails does not stop the other; the returned texts
// name each failure, empty when all went well.
std::vector<std::string> CreateChosenShortcuts(ShortcutMaker& link, const std::string& programDir,
                                               bool startup, bool desktop);

}  // namespace pelnor
