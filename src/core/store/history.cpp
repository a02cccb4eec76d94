#include "core/store/history.h"

#include <unistd.h>

#include <cerrno>
#include <optional>
#include <unordered_set>

#include "core/text/sjis.h"
#include "core/store/atomic_file.h"
#include "core/store/digit_codec.h"
#include "core/store/digit_file.h"
#include "core/store/store_error.h"
#include "core/store/text_file.h"

namespace pelnor {
namespace {

std::vector<std::string> ReadHistory(const std::string& path) {
  return ReadDigitFile(path).value_or(std::vector<std::string>{});
}

// A line cut short by an interrupted append must not swallow the next one.
bool EndsInsideLine(const std::optional<std::string>& text) {
  return text && !text->empty() && text->back() != '\n';
}

bool Holds(const std::string& path, const std::string& text, const std::string& id) {
  for (const std::string& entry : DecodeDigitLines(path, text))
    if (entry == id) return true;
  return false;
}

// True when `id` was missing and has been appended.
bool AppendWhenMissing(const std::string& path, const std::string& id) {
  std::optional<std::string> text = ReadWholeFile(path);
  if (text && Holds(path, *text, id)) return false;
  std::string line = EndsInsideLine(text) ? "\r\n" : "";
  line += EncodeDigits(id) + "\r\n";
  AppendToFile(path, line, FileAccess::kOwnerOnly);
  return true;
}

bool IsFileNameAlias(const std::string& alias) {
  return alias.find('/') == std::string::npos && alias.find('\0') == std::string::npos;
}

}  // namespace

std::string HistoryPath(const std::string& dir, const std::string& alias) {
  return AccountFilePath(dir, alias, ".dat");
}

std::string AccountFilePath(const std::string& dir, const std::string& alias,
                            std::string_view extension) {
  if (!IsFileNameAlias(alias))
    throw StoreError("alias cannot name a history file: " + SjisToUtf8(alias));
  return dir + SjisToUtf8(alias) + std::string(extension);
}

bool WasOutput(const std::string& dir, const std::string& alias, const std::string& id) {
  std::string path = HistoryPath(dir, alias);
  std::optional<std::string> text = ReadWholeFile(path);
  return text && Holds(path, *text, id);
}

void RecordOutput(const std::string& dir, const std::string& alias, const std::string& id) {
  AppendWhenMissing(HistoryPath(dir, alias), id);
}

bool IsNewMessage(const std::string& dir, const std::string& alias, const std::string& id) {
  return AppendWhenMissing(HistoryPath(dir, alias), id);
}

void PruneHistory(const std::string& dir, const std::string& alias,
                  const std::vector<std::string>& serverIds) {
  std::string path = HistoryPath(dir, alias);
  std::vector<std::string> old = ReadHistory(path);
  // Each identifier leaves the set when it is written, so neither a repeat
  // in the old file nor messages sharing an identifier can multiply it.
  std::unordered_set<std::string> unwritten(old.begin(), old.end());
  std::vector<std::string> kept;
  for (const std::string& id : serverIds)
    if (unwritten.erase(id) > 0) kept.push_back(id);
  ReplaceFile(path, EncodeDigitLines(kept), FileAccess::kOwnerOnly);
}

void CreateHistory(const std::string& dir, const std::string& alias, const std::string& record) {
  std::string path = HistoryPath(dir, alias);
  if (FileExists(path)) return;
  ReplaceFile(path, EncodeDigitLines({record}), FileAccess::kOwnerOnly);
}

bool DeleteHistory(const std::string& dir, const std::string& alias) {
  if (!IsFileNameAlias(alias)) return true;  // it never had a history file here
  bool gone = true;
  for (const char* extension : {".uidl", ".pnd", ".dat"}) {
    const std::string path = AccountFilePath(dir, alias, extension);
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) gone = false;
  }
  return gone;
}

std::string HistoryDeleteFailedText(const std::string& alias) {
  return alias + Sjis(".datを削除出来ませんでした。");
}

}  // namespace pelnor
