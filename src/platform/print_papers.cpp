#include "platform/print_papers.h"

#include <QPrinterInfo>

namespace pelnor {
namespace {

QPrinterInfo Info(const TPrinterEntry& printer) {
  return QPrinterInfo::printerInfo(printer.SystemName);
}

}  // namespace

std::vector<QPageSize> PaperSizes(const TPrinterEntry& printer) {
  if (printer.BuiltInPdf) {
    std::vector<QPageSize> sizes;
    for (QPageSize::PageSizeId id :
         {QPageSize::A4, QPageSize::A3, QPageSize::A5, QPageSize::JisB4, QPageSize::JisB5,
          QPageSize::Postcard, QPageSize::Letter, QPageSize::Legal, QPageSize::Tabloid})
      sizes.emplace_back(id);
    return sizes;
  }
  const QList<QPageSize> listed = Info(printer).supportedPageSizes();
  return {listed.begin(), listed.end()};
}

QPageSize DefaultPaper(const TPrinterEntry& printer) {
  if (!printer.BuiltInPdf) {
    const QPageSize size = Info(printer).defaultPageSize();
    if (size.isValid()) return size;
  }
  return QPageSize(QPageSize::A4);
}

std::uint16_t PaperCode(const QPageSize& size) {
  return static_cast<std::uint16_t>(size.windowsId());
}

std::optional<QPageSize> PaperForCode(const TPrinterEntry& printer, std::uint16_t code) {
  for (const QPageSize& size : PaperSizes(printer))
    if (PaperCode(size) == code) return size;
  const QPageSize::PageSizeId id = QPageSize::id(static_cast<int>(code));
  if (id == QPageSize::Custom) return std::nullopt;
  return QPageSize(id);
}

}  // namespace pelnor
