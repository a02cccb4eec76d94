#include "platform/print_printer_list.h"

#include "platform/print_text.h"
#include "core/text/sjis.h"

#include <QPrinterInfo>

namespace pelnor {

std::vector<PrinterEntry> PrinterEntries() {
  std::vector<PrinterEntry> entries;
  for (const QString& name : QPrinterInfo::availablePrinterNames())
    entries.push_back({name, false});
  entries.push_back({QString(), true});
  return entries;
}

std::string PrinterDisplayName(const PrinterEntry& entry) {
  if (entry.BuiltInPdf) return Sjis(kPdfPrinterName);
  const qsizetype dot = entry.SystemName.indexOf(u'.');
  return ToSjis(dot < 0 ? entry.SystemName : entry.SystemName.left(dot));
}

int DefaultPrinterIndex(const std::vector<PrinterEntry>& entries) {
  const QString system = QPrinterInfo::defaultPrinterName();
  int pdf = -1;
  for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
    if (entries[i].BuiltInPdf) pdf = i;
    else if (!system.isEmpty() && entries[i].SystemName == system) return i;
  }
  return pdf;
}

}  // namespace pelnor
