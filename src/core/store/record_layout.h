#pragma once

#include <string_view>

namespace pelnor {

// The layouts account records have had, oldest first.
enum class RecordLayout {
  kOld,        // "," between the fields of 1.0
  kVersion10,  // 13 fields, then the receiving addresses
  kVersion14,  // 1.0 with the date sub-directory flag as field 12
  kCurrent,    // 1.7: 1.4 with the paper index as field 7
  kUnknown,    // fits none of them
};

// Tells the layout of a record from its shape alone, so a record is never
// upgraded twice whatever version the settings file names. "old" has no "|"
// at all. The others need their fixed fields: printer (and paper) and font
// size whole numbers, the font style in brackets, the yes/no fields "0" or
// "1". A receiving address is never a lone "0" or "1": a record with one
// there has a yes/no field more than that layout. So the layouts never
// overlap: a 1.4 record is not taken for a 1.0 record with the address "0".
RecordLayout RecordLayoutOf(std::string_view record);

}  // namespace pelnor
