#pragma once

// What the check cycle tests read back from the program directory's log.

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "core/text/sjis.h"
#include "support/files.h"

namespace pelnor::test {

// The lines of the log file in UTF-8, without their time stamps; none while
// nothing has been logged.
inline std::vector<std::string> LogLinesOf(const std::filesystem::path& logFile) {
  std::istringstream text(ReadBytesIfExists(logFile));
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(text, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(SjisToUtf8(line.substr(line.find(" : ") + 3)));
  }
  return lines;
}

}  // namespace pelnor::test
