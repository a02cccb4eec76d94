#pragma once

// The text of a freedesktop.org desktop entry (the Linux counterpart of a
// shell link), with the escaping its Exec key and string values need.

#include <string>
#include <string_view>
#include <vector>

namespace pelnor {

struct DesktopEntry {
  std::string Name;         // shown under the icon
  std::string Comment;      // omitted when empty
  std::string ExecFile;     // the program, quoted as the Exec rules require
  std::string Arguments;    // a ready command-line tail, appended as it is
  std::string WorkDir;      // "Path"; omitted when empty
  int ShowCmd = 1;          // no standard key; kept as X-Pelnor-ShowCmd
  std::string Icon;         // an icon theme name; omitted when empty
};

// One Exec argument: double-quoted when it holds a reserved character, with
// '"', '`', '$' and '\' escaped inside the quotes, '%' doubled everywhere.
std::string QuoteExecArgument(std::string_view argument);

// Words joined into an Arguments tail: each quoted as QuoteExecArgument
// does, '%' left single (DesktopEntryText doubles it there).
std::string ArgumentsText(const std::vector<std::string>& words);

// A string value: '\', newline, tab and carriage return as escapes, a
// leading space as "\s".
std::string EscapeValue(std::string_view value);

// "[Desktop Entry]" with Type, Name, Comment, Exec, Path, Icon, Terminal
// and the show mode, one "key=value" per line, ending in a newline.
std::string DesktopEntryText(const DesktopEntry& entry);

}  // namespace pelnor
