#pragma once

#include <string>

namespace pelnor {

// The global settings held in "Defult.ini" (the name is the program's own).
struct Settings {
  int CheckInterval = 300000;   // File/Time, milliseconds between mail checks
  bool LogEnabled = false;      // Config/CH2, the communication log
  bool DirectConnection = true; // Config/RA1, the option "通常の接続。"
  bool UseProxy = false;        // Config/RA2, the option "Ploxyを使用する。"
  int MarginLeft = 200;         // Print/Left .. Bottom, printer pixels
  int MarginRight = 200;
  int MarginTop = 200;
  int MarginBottom = 200;
  std::string ProxyAddress;     // Ploxy/Adress, shown only
  std::string ProxyPort;        // Ploxy/Port, kept as text
  std::string SettingsVersion = "old";  // System/version, layout of User.inf
  bool FirstStart = true;       // System/FirstStart, absent in a fresh file

  bool operator==(const Settings&) const = default;
};

// `dir` is the program directory, ending in "/".
std::string SettingsFilePath(const std::string& dir);  // dir + "Defult.ini"

// Reads every key; a missing file or key, or an integer that is not a whole
// number, gives the default. Throws StoreError when the file exists but cannot
// be read.
Settings LoadSettings(const std::string& dir);

// Writes every key, FirstStart as held, into the existing file (keeping its
// other sections and keys) or into a new one, which then lists File, Print,
// Config, Ploxy, System. Replaces the file through a temporary file; throws
// StoreError, leaving the old file intact.
void SaveSettings(const std::string& dir, const Settings& settings);

}  // namespace pelnor
