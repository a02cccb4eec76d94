#pragma once

// What the output of a message needs to know of the account being checked:
// the part of the check cycle's session state read by printing and by the
// saving of attachments. Texts are Shift_JIS, as in the account record.

#include <string>

namespace pelnor {

struct OutputAccount {
  std::string CurrentAlias;
  int PrinterIndex = -1;            // -1: the system default printer
  int PaperIndex = 0;               // into the printer's paper list
  std::string SaveAttachFlag = "1"; // "0": attachments are saved
  std::string AttachDir;            // empty: the program directory
  std::string DateDirFlag = "1";    // "0": one sub-directory per message
};

}  // namespace pelnor
