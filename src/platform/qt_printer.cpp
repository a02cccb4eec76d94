#include "platform/qt_printer.h"

#include "platform/print_cups_job.h"
#include "platform/print_font.h"
#include "platform/print_job_device.h"
#include "platform/print_pdf_output.h"
#include "platform/print_text.h"
#include "core/text/sjis.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPdfWriter>
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

}  // namespace

// The running job: Qt's PDF writer drawing into the job's file. Members end
// in reverse order, the painter first, the file last.
struct QtPrinter::Job {
  explicit Job(std::unique_ptr<PrintJobFile> jobFile)
      : file(std::move(jobFile)), device(*file), writer(&device) {}

  std::unique_ptr<PrintJobFile> file;
  PrintJobDevice device;
  QPdfWriter writer;
  QPainter painter;
};

QtPrinter::QtPrinter(std::filesystem::path programDir)
    : programDir_(std::move(programDir)),
      printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)),
      font_(DefaultPrintFont()),
      qfont_(ToQFont(font_)) {
  SelectPrinter(-1);
}

QtPrinter::~QtPrinter() { Abort(); }

// --- printers ---------------------------------------------------------------

std::vector<std::string> QtPrinter::Printers() const {
  std::vector<std::string> names;
  for (const PrinterEntry& entry : PrinterEntries()) names.push_back(PrinterDisplayName(entry));
  return names;
}

void QtPrinter::SelectPrinter(int index) {
  RequireIdle();
  const std::vector<PrinterEntry> entries = PrinterEntries();
  if (index == -1) index = DefaultPrinterIndex(entries);
  if (index < 0 || index >= static_cast<int>(entries.size()))
    Fail("プリンタのインデックスが範囲を超えています");
  selected_ = entries[index];
  ResetDeviceMode();
}

int QtPrinter::PrinterIndex() const {
  const std::vector<PrinterEntry> entries = PrinterEntries();
  const auto found = std::find(entries.begin(), entries.end(), selected_);
  return found == entries.end() ? -1 : static_cast<int>(found - entries.begin());
}

std::filesystem::path QtPrinter::PdfDir() const { return PdfOutputDir(programDir_); }

// --- paper ------------------------------------------------------------------

void QtPrinter::ResetDeviceMode() {
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

std::vector<std::uint16_t> QtPrinter::PaperCodes() const {
  std::vector<std::uint16_t> codes;
  for (const QPageSize& size : papers_.Sizes) codes.push_back(PaperCode(size));
  return codes;
}

std::vector<std::string> QtPrinter::PaperNames() const {
  std::vector<std::string> names;
  for (const QPageSize& size : papers_.Sizes) names.push_back(ToSjis(size.name()));
  return names;
}

std::uint16_t QtPrinter::PaperSize() const { return PaperCode(printer_->pageLayout().pageSize()); }

void QtPrinter::SetPaperSize(std::uint16_t code) {
  const std::optional<QPageSize> size = PaperForCode(papers_.Sizes, code);
  if (!size || !printer_->setPageSize(*size))
    throw EPrinterError(Sjis("この用紙サイズは使えません: ") + std::to_string(code));
}

// --- font -------------------------------------------------------------------

PrintFont QtPrinter::Font() const { return font_; }

void QtPrinter::SetFont(const PrintFont& font) {
  font_ = font;
  qfont_ = ToQFont(font);
  metrics_.reset();
  if (job_) job_->painter.setFont(qfont_);
}

// --- page and job -----------------------------------------------------------

int QtPrinter::PageWidth() const { return printer_->width(); }
int QtPrinter::PageHeight() const { return printer_->height(); }

void QtPrinter::BeginDoc(const std::string& title) {
  RequireIdle();
  std::unique_ptr<PrintJobFile> file;
  if (selected_.BuiltInPdf) {
    file = OpenPdfJobFile(programDir_);
  } else if (!QPrinterInfo::availablePrinterNames().contains(selected_.SystemName)) {
    throw EPrinterError(Sjis("プリンタが見つかりません: ") + ToSjis(selected_.SystemName));
  } else {
    file = OpenSpoolFile();
  }
  auto job = std::make_unique<Job>(std::move(file));
  job->writer.setResolution(kPrinterDpi);
  job->writer.setPageLayout(printer_->pageLayout());
  job->writer.setTitle(FromUtf8(title));
  if (!job->painter.begin(&job->writer)) Fail("印刷を開始できません");
  job->painter.setFont(qfont_);
  job->painter.setPen(QPen(Qt::black));
  job_ = std::move(job);
  penPos_ = QPoint();
}

void QtPrinter::NewPage() {
  RequirePrinting();
  if (!job_->writer.newPage()) Fail("改ページできません");
  // Qt writes each finished page out; a full disk ends the job here rather
  // than after rendering the rest of a long mail.
  job_->file->ThrowIfFailed();
}

void QtPrinter::EndDoc() {
  RequirePrinting();
  // The job is over whatever happens below; its file goes with it unless
  // it was published.
  const std::unique_ptr<Job> job = std::move(job_);
  if (!job->painter.end()) Fail("印刷を終了できません");
  if (selected_.BuiltInPdf) {
    lastPdf_ = PublishPdfJobFile(*job->file);
    return;
  }
  job->file->Finish();
  SubmitToCups(selected_.SystemName, *job->file, job->writer.title(),
               printer_->pageLayout().pageSize().key());
}

void QtPrinter::Abort() noexcept {
  // Nothing has reached a printer yet: the unnamed file goes with the job.
  job_.reset();
}

// --- canvas -----------------------------------------------------------------

const QFontMetrics& QtPrinter::Metrics() {
  if (!metrics_) metrics_ = std::make_unique<QFontMetrics>(qfont_, printer_.get());
  return *metrics_;
}

int QtPrinter::TextWidth(std::string_view text) {
  const QString unicode = FromUtf8(text);
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

int QtPrinter::TextHeight(std::string_view) { return Metrics().height(); }

void QtPrinter::TextRect(const Rect& clip, int x, int y, std::string_view text) {
  QPainter& painter = Painter();
  if (text.empty() || clip.Right <= clip.Left || clip.Bottom <= clip.Top) return;
  const int baseline = y + Metrics().ascent();
  painter.save();
  painter.setClipRect(QRect(clip.Left, clip.Top, clip.Right - clip.Left, clip.Bottom - clip.Top));
  painter.setPen(QPen(Qt::black));
  painter.drawText(QPoint(x, baseline), FromUtf8(text));
  painter.restore();
}

void QtPrinter::SetPenWidth(int width) { penWidth_ = std::max(width, 0); }

void QtPrinter::MoveTo(int x, int y) {
  RequirePrinting();
  penPos_ = QPoint(x, y);
}

void QtPrinter::LineTo(int x, int y) {
  QPainter& painter = Painter();
  // Flat ends: a rule from x1 to x2 covers exactly x1..x2.
  painter.setPen(QPen(Qt::black, penWidth_, Qt::SolidLine, Qt::FlatCap));
  painter.drawLine(penPos_, QPoint(x, y));
  penPos_ = QPoint(x, y);
}

void QtPrinter::RequirePrinting() const {
  if (!job_) Fail("プリンタは現在印刷中ではありません");
}

QPainter& QtPrinter::Painter() const {
  RequirePrinting();
  return job_->painter;
}

void QtPrinter::RequireIdle() const {
  if (job_) Fail("印刷中です");
}

}  // namespace pelnor
