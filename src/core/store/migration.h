#pragma once

#include <functional>
#include <string>

#include "core/store/account_list.h"

namespace pelnor {

// The record layout version written by this program.
inline constexpr const char* kCurrentVersion = "1.7";

// Finds the current paper of the printer selected for printing and sets
// `paperIndex` to its index in that printer's paper list; leaves it alone
// when the printer lists no paper sizes or its current size is not listed.
using LoadPaperNamesFn = std::function<void(int& paperIndex)>;

// Each step rewrites every record of `list` (sorted insertion again, so
// records that become equal merge). The caller refills the account check
// list afterwards when `list` is not empty.

// "old" to "1.0": every "," becomes the separator "|".
void MigrateOldTo10(AccountList& list);

// Below 1.4 to "1.4": inserts the date sub-directory field "1" (off) after
// the 11th "|". Records with fewer separators are copied unchanged.
void MigrateTo14(AccountList& list);

// "1.4" to "1.7": after the 6th "|" runs `loadPaperNames` (when set) and
// inserts the paper index then held in `paperIndex` as the new field 7.
// Records with fewer separators are copied unchanged.
void MigrateTo17(AccountList& list, int& paperIndex, const LoadPaperNamesFn& loadPaperNames);

// Brings every record of `list` to the current layout, each from the layout
// its shape shows (RecordLayoutOf): the stored `settingsVersion` may be stale
// when the settings file was not written at the last exit, so it decides
// nothing; a record already current is never converted again. A record of
// no known layout is kept byte for byte, with a warning on standard error
// naming its alias. Sets `settingsVersion` to the current version. When a
// record changed, the list is saved to User.inf in `dir` at once, so the
// version written at exit never describes an older file. Returns whether a
// record changed. Throws StoreError when saving fails.
bool MigrateAccounts(const std::string& dir, std::string& settingsVersion, AccountList& list,
                     int& paperIndex, const LoadPaperNamesFn& loadPaperNames);

}  // namespace pelnor
