#pragma once

#include <string>

#include "core/store/account_list.h"

namespace pelnor {

// `dir` is the program directory, ending in "/".
std::string AccountFilePath(const std::string& dir);  // dir + "User.inf"

// Reads User.inf into `list` (sorted insertion). A missing file adds nothing
// and is no error; a line that is not all digits is skipped with a warning.
// The check list is the caller's: refill it from AccountCheckItems only when
// the list is not empty afterwards. Throws StoreError when the file exists but
// cannot be read.
void LoadAccounts(const std::string& dir, AccountList& list);

// Rewrites User.inf from `list`, one digit-coded record per CR LF line, in
// list order, readable by the owner only. When the file being replaced holds
// a line that is not all digits, it is kept first as "User.inf.bak".
// Throws StoreError; the old file is then intact.
void SaveAccounts(const std::string& dir, const AccountList& list);

}  // namespace pelnor
