#include "platform/qt_printer.h"

#include "platform/print_cups_job.h"
#include "platform/print_font.h"
#include "platform/print_pdf_output.h"
#include "platform/print_text.h"
#include "platform/sjis_literal.h"

#include <QFile>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>
#include <climits>
#include <utility>

namespace pelnor {
namespace {

// Qt measures in 26.6 fixed point, which overflows near 33 million pixels;
// long texts are measured in pieces small enough never to get there. Only
// texts far wider than any page are split, so the sum is exact where it matters.
constexpr qsizetype kMeasureChunk = 2048;

[[noreturn]] void Fail(const char* utf8) { throw EPrinterError(Sjis(utf8)); }

QString FileName(const std::filesystem::path& path) {
  return QFile::decodeName(QByteArray::fromStdString(path.string()));
}

void RemoveQuietly(const std::filesystem::path& path) noexcept {
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
}

}  // namespace

TQtPrinter::TQtPrinter(std::filesystem::path programDir)
    : programDir_(std::move(programDir)),
      printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)),
      font_(DefaultPrintFont()),
      qfont_(ToQFont(font_)) {
  SelectPrinter(-1);
}

TQtPrinter::~TQtPrinter() { Abort(); }

// --- printers ---------------------------------------------------------------

std::vector<std::string> TQtPrinter::Printers() const {
  std::vector<std::string> names;
  for (const TPrinterEntry& entry : PrinterEntries()) names.push_back(PrinterDisplayName(entry));
  return names;
}

void TQtPrinter::SelectPrinter(int index) {
  RequireIdle();
  const std::vector<TPrinterEntry> entries = PrinterEntries();
  if (index == -1) index = DefaultPrinterIndex(entries);
  if (index < 0 || index >= static_cast<int>(entries.size()))
    Fail("プリンタのインデックスが範囲を超えています");
  selected_ = entries[index];
  ResetDeviceMode();
}

int TQtPrinter::PrinterIndex() const {
  const std::vector<TPrinterEntry> entries = PrinterEntries();
  const auto found = std::find(entries.begin(), entries.end(), selected_);
  return found == entries.end() ? -1 : static_cast<int>(found - entries.begin());
}

std::filesystem::path TQtPrinter::PdfDir() const { return PdfOutputDir(programDir_); }

// --- paper ------------------------------------------------------------------

void TQtPrinter::ResetDeviceMode() {
  RequireIdle();
  papers_ = LoadPapers(selected_);
  // Every job is rendered to a PDF file; see EndDoc for system printers.
  printer_->setOutputFormat(QPrinter::PdfFormat);
  printer_->setResolution(kPrinterDpi);
  printer_->setFullPage(true);
  printer_->setPageOrientation(QPageLayout::Portrait);
  printer_->setPageSize(papers_.Default);
  printer_->setCopyCount(1);
  metrics_.reset();
}

std::vector<std::uint16_t> TQtPrinter::PaperCodes() const {
  std::vector<std::uint16_t> codes;
  for (const QPageSize& size : papers_.Sizes) codes.push_back(PaperCode(size));
  return codes;
}

std::vector<std::string> TQtPrinter::PaperNames() const {
  std::vector<std::string> names;
  for (const QPageSize& size : papers_.Sizes) names.push_back(ToSjis(size.name()));
  return names;
}

std::uint16_t TQtPrinter::PaperSize() const { return PaperCode(printer_->pageLayout().pageSize()); }

void TQtPrinter::SetPaperSize(std::uint16_t code) {
  const std::optional<QPageSize> size = PaperForCode(papers_.Sizes, code);
  if (!size || !printer_->setPageSize(*size))
    throw EPrinterError(Sjis("この用紙サイズは使えません: ") + std::to_string(code));
}

// --- font -------------------------------------------------------------------

TPrintFont TQtPrinter::Font() const { return font_; }

void TQtPrinter::SetFont(const TPrintFont& font) {
  font_ = font;
  qfont_ = ToQFont(font);
  metrics_.reset();
  if (painter_) painter_->setFont(qfont_);
}

// --- page and job -----------------------------------------------------------

int TQtPrinter::PageWidth() const { return printer_->width(); }
int TQtPrinter::PageHeight() const { return printer_->height(); }

void TQtPrinter::BeginDoc(const std::string& title) {
  RequireIdle();
  if (selected_.BuiltInPdf) {
    jobFile_ = ReservePdfJobFile(programDir_);
  } else if (!QPrinterInfo::availablePrinterNames().contains(selected_.SystemName)) {
    throw EPrinterError(Sjis("プリンタが見つかりません: ") + ToSjis(selected_.SystemName));
  } else {
    jobFile_ = ReserveSpoolFile();
  }
  printer_->setOutputFileName(FileName(jobFile_));
  printer_->setDocName(FromSjis(title));
  auto painter = std::make_unique<QPainter>();
  if (!painter->begin(printer_.get())) {
    RemoveQuietly(jobFile_);
    jobFile_.clear();
    Fail("印刷を開始できません");
  }
  painter_ = std::move(painter);
  painter_->setFont(qfont_);
  painter_->setPen(QPen(Qt::black));
  penPos_ = QPoint();
}

void TQtPrinter::NewPage() {
  RequirePrinting();
  if (!printer_->newPage()) Fail("改ページできません");
}

void TQtPrinter::EndDoc() {
  RequirePrinting();
  const bool ended = painter_->end() && printer_->printerState() != QPrinter::Error;
  painter_.reset();
  const std::filesystem::path file = std::exchange(jobFile_, {});
  if (!ended) {
    RemoveQuietly(file);
    Fail("印刷を終了できません");
  }
  if (selected_.BuiltInPdf) {
    lastPdf_ = file;
    return;
  }
  try {
    SubmitToCups(selected_.SystemName, file, printer_->docName(),
                 printer_->pageLayout().pageSize().key());
  } catch (...) {
    RemoveQuietly(file);
    throw;
  }
  RemoveQuietly(file);  // CUPS keeps its own copy of a submitted job
}

void TQtPrinter::Abort() noexcept {
  if (!painter_) return;
  // Nothing has reached a printer yet: drop the rendering.
  painter_->end();
  painter_.reset();
  RemoveQuietly(std::exchange(jobFile_, {}));
}

// --- canvas -----------------------------------------------------------------

const QFontMetrics& TQtPrinter::Metrics() {
  if (!metrics_) metrics_ = std::make_unique<QFontMetrics>(qfont_, printer_.get());
  return *metrics_;
}

int TQtPrinter::TextWidth(std::string_view text) {
  const QString unicode = FromSjis(text);
  const QFontMetrics& metrics = Metrics();
  if (unicode.size() <= kMeasureChunk) return metrics.horizontalAdvance(unicode);
  long long width = 0;
  for (qsizetype from = 0; from < unicode.size();) {
    qsizetype length = std::min(kMeasureChunk, unicode.size() - from);
    if (from + length < unicode.size() && unicode.at(from + length - 1).isHighSurrogate()) ++length;
    width += metrics.horizontalAdvance(unicode.mid(from, length));
    from += length;
  }
  return static_cast<int>(std::min<long long>(width, INT_MAX));
}

int TQtPrinter::TextHeight(std::string_view) { return Metrics().height(); }

void TQtPrinter::TextRect(const TRect& clip, int x, int y, std::string_view text) {
  RequirePrinting();
  if (text.empty() || clip.Right <= clip.Left || clip.Bottom <= clip.Top) return;
  const int baseline = y + Metrics().ascent();
  painter_->save();
  painter_->setClipRect(QRect(clip.Left, clip.Top, clip.Right - clip.Left, clip.Bottom - clip.Top));
  painter_->setPen(QPen(Qt::black));
  painter_->drawText(QPoint(x, baseline), FromSjis(text));
  painter_->restore();
}

void TQtPrinter::SetPenWidth(int width) { penWidth_ = std::max(width, 0); }

void TQtPrinter::MoveTo(int x, int y) {
  RequirePrinting();
  penPos_ = QPoint(x, y);
}

void TQtPrinter::LineTo(int x, int y) {
  RequirePrinting();
  // Flat ends: a rule from x1 to x2 covers exactly x1..x2.
  painter_->setPen(QPen(Qt::black, penWidth_, Qt::SolidLine, Qt::FlatCap));
  painter_->drawLine(penPos_, QPoint(x, y));
  penPos_ = QPoint(x, y);
}

void TQtPrinter::RequirePrinting() const {
  if (!painter_) Fail("プリンタは現在印刷中ではありません");
}

void TQtPrinter::RequireIdle() const {
  if (painter_) Fail("印刷中です");
}

}  // namespace pelnor
