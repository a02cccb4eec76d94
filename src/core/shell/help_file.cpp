#include "core/shell/help_file.h"

#include <filesystem>
#include <system_error>

namespace pelnor {
namespace {

bool Unreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~' || c == '/';
}

}  // namespace

std::string HelpFilePath(const std::string& dir) { return dir + kHelpFileName; }

std::optional<std::string> FindHelpFile(const std::string& executableDir) {
  for (const std::string& dir : {executableDir, executableDir + kInstalledDataDir}) {
    const std::filesystem::path path = std::filesystem::path(HelpFilePath(dir)).lexically_normal();
    std::error_code error;
    if (std::filesystem::is_regular_file(path, error)) return path.string();
  }
  return std::nullopt;
}

std::string FileUrl(const std::string& absolutePath) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string url = "file://";
  for (unsigned char c : absolutePath) {
    if (Unreserved(c)) {
      url += static_cast<char>(c);
    } else {
      url += '%';
      url += kHex[c >> 4];
      url += kHex[c & 0x0F];
    }
  }
  return url;
}

HelpResult OpenHelp(const std::string& executableDir, ShellOpener& opener) {
  const std::optional<std::string> path = FindHelpFile(executableDir);
  if (!path) return hrMissing;
  return opener.Open(FileUrl(*path)) ? hrOpened : hrOpenFailed;
}

}  // namespace pelnor
