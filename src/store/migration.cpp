#include "store/migration.h"

#include <optional>
#include <vector>

#include "store/account_record.h"
#include "store/account_store.h"
#include "store/decimal_number.h"

namespace pelnor {
namespace {

// Copies `record` byte by byte; right after its n-th separator has been
// copied, appends what `insert` returns. Fewer separators: copied unchanged.
template <typename Insert>
std::string InsertAfterSeparator(const std::string& record, int n, Insert insert) {
  std::string out;
  out.reserve(record.size() + 8);
  int seen = 0;
  for (char c : record) {
    out += c;
    if (c == kFieldSeparator && ++seen == n) out += insert();
  }
  return out;
}

// The frame shared by the steps: rewrite each record, then rebuild the list.
template <typename Rewrite>
void RewriteAll(AccountList& list, Rewrite rewrite) {
  std::vector<std::string> rewritten;
  rewritten.reserve(list.size());
  for (const std::string& record : list) rewritten.push_back(rewrite(record));
  list.Clear();
  for (std::string& record : rewritten) list.Add(std::move(record));
}

constexpr int kFieldsBeforeDateSubDir = 11;
constexpr int kFieldsBeforePaper = 6;

bool IsBelow14(const std::string& version) {
  std::optional<int> order = CompareDecimal(version, "1.4");
  return order && *order < 0;
}

}  // namespace

void MigrateOldTo10(AccountList& list) {
  RewriteAll(list, [](std::string record) {
    for (char& c : record)
      if (c == ',') c = kFieldSeparator;
    return record;
  });
}

void MigrateTo14(AccountList& list) {
  RewriteAll(list, [](const std::string& record) {
    return InsertAfterSeparator(record, kFieldsBeforeDateSubDir, [] { return std::string("1|"); });
  });
}

void MigrateTo17(AccountList& list, int& paperIndex, const LoadPaperNamesFn& loadPaperNames) {
  RewriteAll(list, [&](const std::string& record) {
    return InsertAfterSeparator(record, kFieldsBeforePaper, [&] {
      if (loadPaperNames) loadPaperNames(paperIndex);
      return std::to_string(paperIndex) + kFieldSeparator;
    });
  });
}

bool MigrateAccounts(const std::string& dir, std::string& settingsVersion, AccountList& list,
                     int& paperIndex, const LoadPaperNamesFn& loadPaperNames) {
  bool ran = false;
  if (settingsVersion == "old") {
    MigrateOldTo10(list);
    settingsVersion = "1.0";
    ran = true;
  }
  if (IsBelow14(settingsVersion)) {
    MigrateTo14(list);
    settingsVersion = "1.4";
    ran = true;
  }
  if (settingsVersion == "1.4") {
    MigrateTo17(list, paperIndex, loadPaperNames);
    settingsVersion = kCurrentVersion;
    ran = true;
  }
  if (ran) SaveAccounts(dir, list);
  return ran;
}

}  // namespace pelnor
