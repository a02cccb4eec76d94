#include "core/store/migration.h"

#include <iostream>
#include <vector>

#include "core/text/sjis.h"
#include "core/store/account_record.h"
#include "core/store/account_store.h"
#include "core/store/record_layout.h"

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

std::string OldTo10(std::string record) {
  for (char& c : record)
    if (c == ',') c = kFieldSeparator;
  return record;
}

std::string To14(const std::string& record) {
  return InsertAfterSeparator(record, kFieldsBeforeDateSubDir, [] { return std::string("1|"); });
}

std::string To17(const std::string& record, int& paperIndex,
                 const LoadPaperNamesFn& loadPaperNames) {
  return InsertAfterSeparator(record, kFieldsBeforePaper, [&] {
    if (loadPaperNames) loadPaperNames(paperIndex);
    return std::to_string(paperIndex) + kFieldSeparator;
  });
}

void WarnUnknownLayout(const std::string& record) {
  std::cerr << "pelnor: account \"" << SjisToUtf8(RecordField(record, afAlias))
            << "\": record fits no known layout, kept as it is\n";
}

// Converts a record from the layout its shape shows.
std::string UpgradeRecord(const std::string& record, int& paperIndex,
                          const LoadPaperNamesFn& loadPaperNames) {
  switch (RecordLayoutOf(record)) {
    case RecordLayout::kOld:
      return To17(To14(OldTo10(record)), paperIndex, loadPaperNames);
    case RecordLayout::kVersion10:
      return To17(To14(record), paperIndex, loadPaperNames);
    case RecordLayout::kVersion14:
      return To17(record, paperIndex, loadPaperNames);
    case RecordLayout::kCurrent:
      return record;
    case RecordLayout::kUnknown:
      break;
  }
  WarnUnknownLayout(record);
  return record;
}

}  // namespace

void MigrateOldTo10(AccountList& list) { RewriteAll(list, OldTo10); }

void MigrateTo14(AccountList& list) { RewriteAll(list, To14); }

void MigrateTo17(AccountList& list, int& paperIndex, const LoadPaperNamesFn& loadPaperNames) {
  RewriteAll(list, [&](const std::string& record) {
    return To17(record, paperIndex, loadPaperNames);
  });
}

bool MigrateAccounts(const std::string& dir, std::string& settingsVersion, AccountList& list,
                     int& paperIndex, const LoadPaperNamesFn& loadPaperNames) {
  const std::vector<std::string> before = list.Records();
  RewriteAll(list, [&](const std::string& record) {
    return UpgradeRecord(record, paperIndex, loadPaperNames);
  });
  settingsVersion = kCurrentVersion;
  if (list.Records() == before) return false;
  SaveAccounts(dir, list);
  return true;
}

}  // namespace pelnor
