#pragma once

// The communication log "Log.txt": one Shift_JIS line per printed message
// and per error, appended while the settings dialog's switch is on.

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>

#include "core/print/clock.h"

namespace pelnor {

// The log's file name in the program directory.
inline constexpr char kLogFileName[] = "Log.txt";

enum LogKind { lkOutput = 1, lkError = 2 };

class ELogError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "2004/12/25 15:29:58": the short date, a blank and the long time.
std::string FormatLogTimeStamp(const DateTime& t);

class CommLog {
 public:
  // `enabled` is asked at every line: the live state of the switch counts.
  CommLog(std::filesystem::path file, const Clock& clock, std::function<bool()> enabled);

  // Appends "<time stamp> : <text><marker>" CR LF; kind 1 ends in
  // "<出力終了>", kind 2 (and any other) in "<エラー発生>". The file is opened
  // and closed for every line.
  //
  // A line that cannot be written goes to OnWriteError when it is set, so a
  // full disk never stops mail from being printed; without a handler it
  // throws ELogError.
  void WriteLog(const std::string& text, int kind);

  std::function<void(const std::string& message)> OnWriteError;

  // Every line's text with its marker, without the time stamp, whether or
  // not the switch is on: a program without a desktop copies the errors
  // to its standard error, where a service manager's journal keeps them.
  std::function<void(const std::string& entry, int kind)> OnEntry;

  const std::filesystem::path& File() const { return file_; }

 private:
  void Fail(const std::string& message);

  std::filesystem::path file_;
  const Clock& clock_;
  std::function<bool()> enabled_;
};

}  // namespace pelnor
