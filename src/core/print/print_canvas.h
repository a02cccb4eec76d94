#pragma once

// The printer as the print layout sees it: one program-wide printer object
// with its selected printer, paper and font, and the canvas of the running
// job. All lengths are printer pixels (600 dpi). The texts of the job (its
// title and what is measured and drawn) are UTF-8; the names of printers,
// papers and fonts are Shift_JIS, as the account list stores them.
//
// Failures of the printing system throw EPrinterError (or another
// std::runtime_error); nothing is reported through return values.

#include <bitset>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace pelnor {

class EPrinterError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Index into FontStyles.
enum FontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using FontStyles = std::bitset<4>;

struct PrintFont {
  std::string Name;    // Shift_JIS
  FontStyles Style;
  int Size = 10;       // points
};

struct Rect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
};

class PrintCanvas {
 public:
  virtual ~PrintCanvas() = default;

  // --- printers ---------------------------------------------------------
  // Installed printers in list order, Shift_JIS.
  virtual std::vector<std::string> Printers() const = 0;
  // Selects printer `index`; -1 is the system default. Throws EPrinterError
  // "デフォルト プリンタが存在しません" (in Shift_JIS) when there is none.
  virtual void SelectPrinter(int index) = 0;
  // Index of the selected printer in Printers(), -1 when none is selected.
  virtual int PrinterIndex() const = 0;

  // --- paper of the selected printer -------------------------------------
  // Forgets any paper set before: back to the driver's default settings.
  virtual void ResetDeviceMode() = 0;
  // Paper codes (Windows DMPAPER_* numbers) in the driver's order.
  virtual std::vector<std::uint16_t> PaperCodes() const = 0;
  // Paper names, same order as PaperCodes(), Shift_JIS.
  virtual std::vector<std::string> PaperNames() const = 0;
  // The paper code the printer will print on now.
  virtual std::uint16_t PaperSize() const = 0;
  virtual void SetPaperSize(std::uint16_t code) = 0;

  // --- font (stays with the printer object between jobs) -----------------
  virtual PrintFont Font() const = 0;
  virtual void SetFont(const PrintFont& font) = 0;

  // --- page, valid before and during a job --------------------------------
  virtual int PageWidth() const = 0;   // printable width
  virtual int PageHeight() const = 0;  // printable height

  // --- job ----------------------------------------------------------------
  virtual void BeginDoc(const std::string& title) = 0;
  virtual void NewPage() = 0;
  virtual void EndDoc() = 0;
  // Ends a job that failed midway without printing what is pending.
  // Never throws; a no-op outside a job.
  virtual void Abort() noexcept = 0;

  // --- canvas, in the current font; texts in UTF-8 -------------------------
  // Characters the font lacks are drawn from another installed font.
  virtual int TextWidth(std::string_view text) = 0;
  virtual int TextHeight(std::string_view text) = 0;
  // Draws `text` with its top-left corner at (x, y); nothing outside `clip`
  // is painted. No background is filled.
  virtual void TextRect(const Rect& clip, int x, int y, std::string_view text) = 0;
  virtual void SetPenWidth(int width) = 0;  // the pen is always black
  virtual void MoveTo(int x, int y) = 0;
  virtual void LineTo(int x, int y) = 0;    // draws and moves the pen
};

}  // namespace pelnor
