#pragma once

// The program-wide printer object over Qt and CUPS: the system's printers
// plus the built-in PDF printer, every one of them working at 600 dpi with
// the origin at the paper's corner, so that a printer pixel is 1/600 inch
// and the margins mean the same on every printer. Every job is rendered by
// Qt into a PDF file; for a system printer that file goes to CUPS at EndDoc.
// A job counts only when that file was written whole and, for a system
// printer, CUPS took all of it; otherwise EndDoc throws and nothing is left.

#include "core/print/print_canvas.h"
#include "platform/print_papers.h"
#include "platform/print_printer_list.h"

#include <QFont>
#include <QPoint>

#include <filesystem>
#include <memory>
#include <optional>

class QFontMetrics;
class QPainter;
class QPrinter;

namespace pelnor {

inline constexpr int kPrinterDpi = 600;

class QtPrinter : public PrintCanvas {
 public:
  // `programDir` holds the folder "PDF" of the built-in printer. Selects the
  // default printer. Needs a QGuiApplication.
  explicit QtPrinter(std::filesystem::path programDir);
  ~QtPrinter() override;

  std::vector<std::string> Printers() const override;
  void SelectPrinter(int index) override;
  int PrinterIndex() const override;

  void ResetDeviceMode() override;
  std::vector<std::uint16_t> PaperCodes() const override;
  std::vector<std::string> PaperNames() const override;
  std::uint16_t PaperSize() const override;
  void SetPaperSize(std::uint16_t code) override;

  PrintFont Font() const override;
  void SetFont(const PrintFont& font) override;

  int PageWidth() const override;
  int PageHeight() const override;

  void BeginDoc(const std::string& title) override;
  void NewPage() override;
  void EndDoc() override;
  void Abort() noexcept override;

  int TextWidth(std::string_view text) override;
  int TextHeight(std::string_view text) override;
  void TextRect(const Rect& clip, int x, int y, std::string_view text) override;
  void SetPenWidth(int width) override;
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;

  // The PDF file of the last job finished on the built-in printer.
  std::optional<std::filesystem::path> LastPdfFile() const { return lastPdf_; }
  std::filesystem::path PdfDir() const;

 private:
  struct Job;

  const QFontMetrics& Metrics();
  void RequirePrinting() const;
  QPainter& Painter() const;  // of the running job
  void RequireIdle() const;

  std::filesystem::path programDir_;
  PrinterEntry selected_;
  PaperList papers_;                  // of selected_, as its driver gave them
  std::unique_ptr<QPrinter> printer_;  // one for the whole run, reset per printer
  std::unique_ptr<Job> job_;           // set while a job runs
  std::optional<std::filesystem::path> lastPdf_;
  PrintFont font_;
  QFont qfont_;
  std::unique_ptr<QFontMetrics> metrics_;  // for qfont_ on printer_
  int penWidth_ = 1;
  QPoint penPos_;
};

}  // namespace pelnor
