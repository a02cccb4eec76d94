#include "core/shell/shell_environment.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string_view>
#include <vector>

namespace pelnor {
namespace {

std::string HomeFromPasswd() {
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found) return {};
  return found->pw_dir ? found->pw_dir : "";
}

std::string_view SkipBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  return text;
}

bool Consume(std::string_view& text, std::string_view prefix) {
  if (!text.starts_with(prefix)) return false;
  text.remove_prefix(prefix.size());
  return true;
}

// The quoted value up to its closing quote, backslash escapes undone;
// nothing when the quote is never closed.
std::optional<std::string> QuotedValue(std::string_view text) {
  std::string value;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '"') return value;
    if (text[i] == '\\' && i + 1 < text.size()) ++i;
    value += text[i];
  }
  return std::nullopt;
}

// One line of user-dirs.dirs, in the shell syntax that xdg-user-dirs writes:
//   XDG_DESKTOP_DIR="$HOME/Desktop"   or   XDG_DESKTOP_DIR="/abs/path"
std::optional<std::filesystem::path> DesktopFromLine(std::string_view line, const std::string& home) {
  line = SkipBlanks(line);
  if (!Consume(line, "XDG_DESKTOP_DIR")) return std::nullopt;
  line = SkipBlanks(line);
  if (!Consume(line, "=")) return std::nullopt;
  line = SkipBlanks(line);
  if (!Consume(line, "\"")) return std::nullopt;
  std::optional<std::string> value = QuotedValue(line);
  if (!value) return std::nullopt;
  std::string_view rest = *value;
  if (Consume(rest, "$HOME")) {
    if (!rest.empty() && rest.front() != '/') return std::nullopt;
    return std::filesystem::path(home + std::string(rest));
  }
  if (rest.starts_with('/')) return std::filesystem::path(rest);
  return std::nullopt;
}

}  // namespace

ShellEnvironment ShellEnvironmentFromProcess() {
  ShellEnvironment env;
  if (const char* home = std::getenv("HOME")) env.Home = home;
  if (env.Home.empty()) env.Home = HomeFromPasswd();
  if (const char* config = std::getenv("XDG_CONFIG_HOME")) env.ConfigHome = config;
  return env;
}

std::filesystem::path UserConfigDir(const ShellEnvironment& env) {
  if (!env.ConfigHome.empty() && env.ConfigHome.front() == '/') return env.ConfigHome;
  return std::filesystem::path(env.Home) / ".config";
}

std::filesystem::path AutostartDir(const ShellEnvironment& env) {
  return UserConfigDir(env) / "autostart";
}

std::filesystem::path DesktopDir(const ShellEnvironment& env) {
  std::optional<std::filesystem::path> desktop;
  std::ifstream file(UserConfigDir(env) / "user-dirs.dirs");
  for (std::string line; std::getline(file, line);) {
    if (std::optional<std::filesystem::path> found = DesktopFromLine(line, env.Home)) desktop = found;
  }
  return desktop ? *desktop : std::filesystem::path(env.Home) / "Desktop";
}

}  // namespace pelnor
