#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pelnor {

// Field numbers of the current (1.7) account record. The flags 11, 13, 14 and
// 15 mean on when "0"; field 2 means on for anything but "0".
enum AccountField : int {
  afAlias = 1,
  afEnabled,
  afHost,
  afUser,
  afPassword,
  afPrinter,
  afPaper,
  afFontName,
  afFontStyle,
  afFontSize,
  afSaveAttachments,  // "0" = save
  afAttachDir,
  afDateSubDir,       // "0" = one sub-directory per message
  afDeleteOnServer,   // "0" = delete after retrieval
  afFilterSenders,    // "1" = only the receiving addresses
  afFirstAddress,     // receiving addresses from here on
};

constexpr char kFieldSeparator = '|';

// Field `n` (from 1) of a record. The separator is searched byte by byte, so
// the second byte of a two-byte Shift_JIS character that equals "|" splits a
// field too, as the files have always been read. A field beyond the last is
// empty.
std::string RecordField(std::string_view record, int n);

// Every field from `n` on, in order (the receiving addresses from
// afFirstAddress); empty when the record has fewer fields.
std::vector<std::string> RecordFieldsFrom(std::string_view record, int n);

}  // namespace pelnor
