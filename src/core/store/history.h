#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pelnor {

// The output history of one account: the Message-IDs of the messages already
// printed that were still on the server at the last check, one digit-coded
// CR LF line each, in "<dir><alias>.dat". `dir` is the program directory,
// ending in "/"; the Shift_JIS alias is turned into a UTF-8 file name.
// Throws StoreError for an alias that holds "/" or a zero byte, which would
// name a file outside the program directory.
std::string HistoryPath(const std::string& dir, const std::string& alias);

// "<dir><alias><extension>": a file the program keeps for one account
// (".dat", ".uidl", ".pnd"), under the same rule as HistoryPath.
std::string AccountFilePath(const std::string& dir, const std::string& alias,
                            std::string_view extension);

// True when `id` (compared byte for byte) is in the history. Only reads: a
// missing history file means false. Throws StoreError.
bool WasOutput(const std::string& dir, const std::string& alias, const std::string& id);

// Appends `id` when it is not yet in the history, so that it counts as
// output from now on. A missing history file is created. Throws StoreError.
void RecordOutput(const std::string& dir, const std::string& alias, const std::string& id);

// Both in one: true when `id` was not yet in the history and has now been
// appended; false when it was, and nothing is written. An empty id is an
// ordinary identifier. Throws StoreError.
bool IsNewMessage(const std::string& dir, const std::string& alias, const std::string& id);

// Rewrites the history to hold only the identifiers that are also among
// `serverIds` (the identifiers of the messages now on the server), each once,
// in the order of their first place on the server. Repeats in the old file
// go with it. Creates the file when missing. Throws StoreError; the old file
// is then intact.
void PruneHistory(const std::string& dir, const std::string& alias,
                  const std::vector<std::string>& serverIds);

// For a new account: when no history file exists for the alias, creates one
// whose single line is the whole record text. An existing file is left alone.
void CreateHistory(const std::string& dir, const std::string& alias, const std::string& record);

// Deletes the history file of an account, with the account's record of
// the mail seen on its server (".uidl") and of a printout that may have
// gone unrecorded (".pnd"). True when they are gone (missing files are no
// error); false when one could not be deleted, for which the caller shows
// HistoryDeleteFailedText.
bool DeleteHistory(const std::string& dir, const std::string& alias);

// alias + ".datを削除出来ませんでした。", in Shift_JIS.
std::string HistoryDeleteFailedText(const std::string& alias);

}  // namespace pelnor
