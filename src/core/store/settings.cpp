#include "core/store/settings.h"

#include <optional>

#include "core/store/atomic_file.h"
#include "core/store/ini_file.h"
#include "core/store/text_file.h"

namespace pelnor {

std::string SettingsFilePath(const std::string& dir) { return dir + "Defult.ini"; }

Settings LoadSettings(const std::string& dir) {
  IniFile ini(ReadWholeFile(SettingsFilePath(dir)).value_or(""));
  Settings d;  // the defaults
  Settings s;
  s.CheckInterval = ini.ReadInteger("File", "Time", d.CheckInterval);
  s.LogEnabled = ini.ReadBool("Config", "CH2", d.LogEnabled);
  s.DirectConnection = ini.ReadBool("Config", "RA1", d.DirectConnection);
  s.UseProxy = ini.ReadBool("Config", "RA2", d.UseProxy);
  s.MarginLeft = ini.ReadInteger("Print", "Left", d.MarginLeft);
  s.MarginRight = ini.ReadInteger("Print", "Right", d.MarginRight);
  s.MarginTop = ini.ReadInteger("Print", "Top", d.MarginTop);
  s.MarginBottom = ini.ReadInteger("Print", "Bottom", d.MarginBottom);
  s.ProxyAddress = ini.ReadString("Ploxy", "Adress", d.ProxyAddress);
  s.ProxyPort = ini.ReadString("Ploxy", "Port", d.ProxyPort);
  s.SettingsVersion = ini.ReadString("System", "version", d.SettingsVersion);
  s.FirstStart = ini.ReadBool("System", "FirstStart", d.FirstStart);
  return s;
}

void SaveSettings(const std::string& dir, const Settings& s) {
  std::string path = SettingsFilePath(dir);
  IniFile ini(ReadWholeFile(path).value_or(""));
  ini.WriteInteger("File", "Time", s.CheckInterval);
  ini.WriteInteger("Print", "Left", s.MarginLeft);
  ini.WriteInteger("Print", "Right", s.MarginRight);
  ini.WriteInteger("Print", "Top", s.MarginTop);
  ini.WriteInteger("Print", "Bottom", s.MarginBottom);
  ini.WriteBool("Config", "CH2", s.LogEnabled);
  ini.WriteBool("Config", "RA1", s.DirectConnection);
  ini.WriteBool("Config", "RA2", s.UseProxy);
  ini.WriteString("Ploxy", "Adress", s.ProxyAddress);
  ini.WriteString("Ploxy", "Port", s.ProxyPort);
  ini.WriteString("System", "version", s.SettingsVersion);
  ini.WriteBool("System", "FirstStart", s.FirstStart);
  ReplaceFile(path, ini.Text(), FileAccess::kKeepOrShared);
}

}  // namespace pelnor
