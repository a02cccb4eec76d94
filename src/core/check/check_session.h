#pragma once

// The session state of the check cycle: the account being checked, read
// from its record, and the sender filter over it. Texts are Shift_JIS.

#include <string>
#include <vector>

#include "core/print/output_account.h"
#include "core/print/print_canvas.h"

namespace pelnor {

struct CheckSession {
  std::string CurrentAlias;
  std::string EnabledFlag;
  std::string Host;
  std::string UserId;
  std::string Passwd;
  int PrinterIndex = -1;
  int PaperIndex = -1;
  std::string SaveAttachFlag;
  std::string AttachDir;
  std::string DateDirFlag;
  std::string DeleteFlag;       // "0": delete every retrieved message
  std::string ReceiveAllFlag;   // "0": no sender filter
  std::vector<std::string> FilterAddresses;

  OutputAccount ForOutput() const;
};

// Fills `session` from the record, field by field, and sets the font of
// fields 8 to 10 on the canvas at once. A printer index past the installed
// printers, or one that is no number, means the default printer (-1); a
// paper index that is no number means the default paper; a font size that
// is no number keeps the canvas's size.
void ReadSession(const std::string& record, CheckSession& session, PrintCanvas& canvas);

// "[fsBold,fsItalic]" to the style set; unknown names are ignored.
FontStyles FontStylesFromText(const std::string& text);

// The sender filter: with the filter on, the address in `from` (between the
// first "<" and the next ">", or the whole text without brackets) must equal
// an entry with "@", or its part after the first "@" must equal an entry
// without "@". Byte for byte, letter case counts.
bool IsWantedSender(const CheckSession& session, const std::string& from);

}  // namespace pelnor
