#pragma once

// The printers the program offers: the system's printers (CUPS queues, as Qt
// lists them) followed by one built-in printer that writes PDF files.

#include <QString>

#include <string>
#include <vector>

namespace pelnor {

struct PrinterEntry {
  QString SystemName;     // queue name; empty for the built-in PDF printer
  bool BuiltInPdf = false;

  friend bool operator==(const PrinterEntry&, const PrinterEntry&) = default;
};

// Name of the built-in printer as the printer list shows it (UTF-8).
inline constexpr char kPdfPrinterName[] = "PDF出力";

// The system's printers in Qt's order, then the built-in PDF printer.
std::vector<PrinterEntry> PrinterEntries();

// The name shown for an entry, Shift_JIS: a system name is cut before its
// first "." (the list shows printers, not their host or instance parts).
std::string PrinterDisplayName(const PrinterEntry& entry);

// Position of the system's default printer in `entries`; the built-in PDF
// printer when the system has no default printer.
int DefaultPrinterIndex(const std::vector<PrinterEntry>& entries);

}  // namespace pelnor
