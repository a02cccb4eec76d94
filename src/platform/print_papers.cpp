#include "platform/print_papers.h"

#include <QPrinterInfo>

namespace pelnor {
namespace {

PaperList PdfPrinterPapers() {
  PaperList papers;
  for (QPageSize::PageSizeId id :
       {QPageSize::A4, QPageSize::A3, QPageSize::A5, QPageSize::JisB4, QPageSize::JisB5,
        QPageSize::Postcard, QPageSize::Letter, QPageSize::Legal, QPageSize::Tabloid})
    papers.Sizes.emplace_back(id);
  papers.Default = QPageSize(QPageSize::A4);
  return papers;
}

}  // namespace

PaperList LoadPapers(const PrinterEntry& printer) {
  if (printer.BuiltInPdf) return PdfPrinterPapers();
  // One QPrinterInfo per load: Qt's CUPS plugin leaves a little memory
  // behind in libcups for every one it builds.
  const QPrinterInfo info = QPrinterInfo::printerInfo(printer.SystemName);
  const QList<QPageSize> listed = info.supportedPageSizes();
  PaperList papers;
  papers.Sizes.assign(listed.begin(), listed.end());
  papers.Default = info.defaultPageSize();
  if (!papers.Default.isValid()) papers.Default = QPageSize(QPageSize::A4);
  return papers;
}

std::uint16_t PaperCode(const QPageSize& size) {
  return static_cast<std::uint16_t>(size.windowsId());
}

std::optional<QPageSize> PaperForCode(const std::vector<QPageSize>& sizes, std::uint16_t code) {
  for (const QPageSize& size : sizes)
    if (PaperCode(size) == code) return size;
  const QPageSize::PageSizeId id = QPageSize::id(static_cast<int>(code));
  if (id == QPageSize::Custom) return std::nullopt;
  return QPageSize(id);
}

}  // namespace pelnor
