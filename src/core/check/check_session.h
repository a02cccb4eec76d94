#pragma once

// The session state of the check cycle: the account being checked, read
// from its record, what its printer and paper fields mean to the printer,
// and the sender filter over it. Texts are Shift_JIS.

#include <cstddef>
#include <optional>
#include <string>

#include "core/print/print_canvas.h"
#include "core/store/account.h"

namespace pelnor {

// Reads the record into `session` and sets the font of fields 8 to 10 on
// the canvas at once; a font size that is no whole number keeps the
// canvas's size.
void ReadSession(const std::string& record, Account& session, PrintCanvas& canvas);

// The printer to print on, among `printerCount` installed printers: -1 (the
// system default printer) for a field that is no whole number, below 0 or
// past the last printer.
int PrinterIndexFor(const Account& account, std::size_t printerCount);

// The paper, an index into the printer's paper list: -1 (the printer's
// default paper) for a field that is no whole number.
int PaperIndexFor(const Account& account);

// The index of the canvas's current paper in the paper list of its selected
// printer; none when the printer lists no paper or not its current one.
std::optional<int> CurrentPaperIndex(const PrintCanvas& canvas);

// "[fsBold,fsItalic]" to the style set; unknown names are ignored.
FontStyles FontStylesFromText(const std::string& text);

// The sender filter: with the filter on, the address in `from` (between the
// first "<" and the next ">", or the whole text without brackets) must equal
// an entry with "@", or its part after the first "@" must equal an entry
// without "@". Byte for byte, letter case counts.
bool IsWantedSender(const Account& session, const std::string& from);

}  // namespace pelnor
