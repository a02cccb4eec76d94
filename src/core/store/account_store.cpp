#include "core/store/account_store.h"

#include <optional>

#include "core/store/atomic_file.h"
#include "core/store/digit_codec.h"
#include "core/store/digit_file.h"
#include "core/store/text_file.h"

namespace pelnor {
namespace {

bool HoldsNonDigitLine(const std::string& text) {
  for (const std::string& line : SplitFileLines(text))
    if (!IsDigitLine(line)) return true;
  return false;
}

// A damaged line of the old file would vanish with the rewrite; keep a copy.
void BackUpIfDamaged(const std::string& path) {
  std::optional<std::string> old = ReadWholeFile(path);
  if (old && HoldsNonDigitLine(*old)) ReplaceFile(path + ".bak", *old, FileAccess::kOwnerOnly);
}

}  // namespace

std::string AccountFilePath(const std::string& dir) { return dir + "User.inf"; }

void LoadAccounts(const std::string& dir, AccountList& list) {
  std::optional<std::vector<std::string>> records = ReadDigitFile(AccountFilePath(dir));
  if (!records) return;
  for (std::string& record : *records) list.Add(std::move(record));
}

void SaveAccounts(const std::string& dir, const AccountList& list) {
  std::string path = AccountFilePath(dir);
  BackUpIfDamaged(path);
  ReplaceFile(path, EncodeDigitLines(list.Records()), FileAccess::kOwnerOnly);
}

}  // namespace pelnor
