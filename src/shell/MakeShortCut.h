#pragma once

// TMakeShortCut writes a launcher for a program. On this desktop a launcher
// is a desktop entry file: in the autostart folder it starts the program
// at login, in the desktop folder it shows as an icon.

#include <stdexcept>
#include <string>
#include <utility>

#include "shell/shell_environment.h"

namespace pelnor {

// How the target's window is shown; the numbers are the show commands the
// link records.
enum TShowMode { tsNormal, tsMax, tsMin };

// Base folder of SCFileName. tpStartMenu is the user's configuration folder,
// where the per-user autostart folder lives.
enum TSysPath { tpBlank, tpDesktop, tpStartMenu };

int ShowCommand(TShowMode mode);  // 1, 3, 7

// A launcher that could not be written; the text names the file.
class EShortCutError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TMakeShortCut {
 public:
  explicit TMakeShortCut(TShellEnvironment env) : env_(std::move(env)) {}

  std::string SCFileName;           // relative to the base folder
  TShowMode SCShowCmd = tsNormal;
  std::string SCDescription;
  std::string SCExecFile;
  std::string SCArguments;
  std::string SCWorkDir;
  TSysPath SCSystemPath = tpBlank;

  // Where CreateLink writes: base folder + SCFileName.
  std::string LinkPath() const;

  // Writes the launcher, replacing one of the same name in a single rename,
  // and marks it executable (desktops launch only such entries). Missing
  // folders are created. Throws EShortCutError, also when a base folder is
  // asked for and the home folder is unknown.
  void CreateLink() const;

 private:
  TShellEnvironment env_;
};

}  // namespace pelnor
