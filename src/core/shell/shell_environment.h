#pragma once

// Where the user's desktop session keeps its folders. The values come from
// the environment of the running program; tests hand in a temporary home.

#include <filesystem>
#include <string>

namespace pelnor {

struct ShellEnvironment {
  std::string Home;        // $HOME
  std::string ConfigHome;  // $XDG_CONFIG_HOME; empty or relative means unset
};

// Reads HOME and XDG_CONFIG_HOME; an empty HOME falls back to the password
// database.
ShellEnvironment ShellEnvironmentFromProcess();

// $XDG_CONFIG_HOME when it is absolute, else ~/.config.
std::filesystem::path UserConfigDir(const ShellEnvironment& env);

// Per-user autostart folder: <config>/autostart.
std::filesystem::path AutostartDir(const ShellEnvironment& env);

// XDG_DESKTOP_DIR from <config>/user-dirs.dirs (the last valid line wins),
// else ~/Desktop. "$HOME" on its own names the home folder itself.
std::filesystem::path DesktopDir(const ShellEnvironment& env);

}  // namespace pelnor
