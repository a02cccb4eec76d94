#pragma once

// ShortcutMaker writes a launcher for a program. On this desktop a launcher
// is a desktop entry file: in the autostart folder it starts the program
// at login, in the desktop folder it shows as an icon.

#include <stdexcept>
#include <string>
#include <utility>

#include "core/shell/shell_environment.h"

namespace pelnor {

// How the target's window is shown; the numbers are the show commands the
// link records.
enum ShowMode { tsNormal, tsMax, tsMin };

// Base folder of SCFileName. tpStartMenu is the user's configuration folder,
// where the per-user autostart folder lives.
enum SysPath { tpBlank, tpDesktop, tpStartMenu };

int ShowCommand(ShowMode mode);  // 1, 3, 7

// A launcher that could not be written; the text names the file.
class EShortCutError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class ShortcutMaker {
 public:
  explicit ShortcutMaker(ShellEnvironment env) : env_(std::move(env)) {}

  std::string SCFileName;           // relative to the base folder
  ShowMode SCShowCmd = tsNormal;
  std::string SCDescription;
  std::string SCExecFile;
  std::string SCArguments;
  std::string SCWorkDir;
  SysPath SCSystemPath = tpBlank;
  std::string SCIconName;           // an icon theme name; none when empty

  // Where CreateLink writes: base folder + SCFileName.
  std::string LinkPath() const;

  // Writes the launcher, replacing one of the same name in a single rename,
  // and marks it executable (desktops launch only such entries). Missing
  // folders are created. Throws EShortCutError, also when a base folder is
  // asked for and the home folder is unknown.
  void CreateLink() const;

 private:
  ShellEnvironment env_;
};

}  // namespace pelnor
