#pragma once

// What the account editor does with a record, apart from its widgets:
// reading a record into the controls' values, building the record from
// them, the alias check and the storing with its history file.

#include <bitset>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/store/account.h"
#include "core/store/account_list.h"

namespace pelnor {

// The record the editor's OK stores for the account its controls show
// (printer and paper as item indexes of their lists, -1 for none; the font
// size as typed, never checked). An account without receiving addresses
// receives everything, whatever ReceiveAll says, and one that receives
// everything keeps no addresses; field 2 is always "1", so saving an
// account enables it.
std::string BuildAccountRecord(Account account);

// A stored record as the editor shows it.
struct LoadedAccount {
  Account Shown;
  std::vector<int> NotWholeFields;  // afPrinter / afPaper, shown as 0
};

// Reads every field by the record rule. Fields 6 and 7 that are not whole
// numbers are shown as 0 and listed in NotWholeFields. The receiving
// addresses are shown only when field 15 says the account filters its
// senders.
LoadedAccount ReadRecordForEditor(std::string_view record);

// "[fsBold,fsItalic]": bits in the order bold, italic, underline, strike-out.
std::string FontStyleText(const std::bitset<4>& styles);

// The first character of `sjis` that would split a record field: "|" itself,
// or a two-byte character whose second byte is 0x7C (ポ is 0x83 0x7C).
// Empty when there is none.
std::string FieldBreakingChar(std::string_view sjis);

// A chosen directory as the record stores it: ending in "/".
std::string WithTrailingSeparator(std::string dir);

// Positions of the records whose alias equals `alias` exactly (letter case
// counts), leaving out `skip`, the record being edited.
std::vector<size_t> DuplicateAliases(const AccountList& list, std::string_view alias,
                                     std::optional<size_t> skip);

// Stores the editor's record: creates the history file of `alias` in `dir`
// when missing, removes the record at `editIndex` (when editing) and inserts
// the new one. Returns false, changing nothing, when the record would merge
// with another record that differs only in letter case: the sorted list
// holds such records once, so the account would be lost. Throws StoreError
// when the history file cannot be made; the list is then unchanged.
bool StoreAccountRecord(AccountList& list, const std::string& dir, const std::string& alias,
                        const std::string& record, std::optional<size_t> editIndex);

}  // namespace pelnor
