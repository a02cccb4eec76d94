#pragma once

// A printer with fixed metrics that records what is drawn. ASCII and
// half-width katakana (what Shift_JIS holds in one byte) are 10 pixels
// wide, every other character 20; every text (also the empty one) is 40
// pixels high. The page is A4 at 600 dpi. Texts are UTF-8.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/print/print_canvas.h"
#include "core/print/text_wrap.h"

namespace pelnor::test {

struct DrawnText {
  int Page;
  Rect Clip;
  int X, Y;
  std::string Text;
};

struct DrawnLine {
  int Page;
  int PenWidth;
  int X1, Y1, X2, Y2;
};

class RecordingCanvas : public PrintCanvas {
 public:
  static constexpr int kNarrow = 10;
  static constexpr int kWide = 20;

  std::vector<std::string> PrinterNames = {"Office", "Label"};
  std::vector<std::uint16_t> Codes = {9, 8, 11};  // A4, A3, A5
  std::uint16_t DefaultPaper = 9;
  int Width = 4960;
  int Height = 7016;
  int LineHeightPx = 40;
  int FailOnTextNumber = -1;  // TextRect number (0-based) that throws

  // What happened, in order: "select -1", "paper 8", "begin Pelnor",
  // "newpage", "end", "abort".
  std::vector<std::string> Events;
  std::vector<DrawnText> Texts;
  std::vector<DrawnLine> Lines;
  int Page = 0;
  std::uint16_t Paper = 9;
  int MeasuredBytes = 0;

  std::vector<std::string> Printers() const override { return PrinterNames; }
  void SelectPrinter(int index) override {
    if (PrinterNames.empty()) throw EPrinterError("no default printer");
    Events.push_back("select " + std::to_string(index));
    selected_ = index < 0 ? 0 : index;
  }
  int PrinterIndex() const override { return selected_; }

  void ResetDeviceMode() override { Paper = DefaultPaper; }
  std::vector<std::uint16_t> PaperCodes() const override { return Codes; }
  std::vector<std::string> PaperNames() const override {
    return std::vector<std::string>(Codes.size(), "paper");
  }
  std::uint16_t PaperSize() const override { return Paper; }
  void SetPaperSize(std::uint16_t code) override {
    Paper = code;
    Events.push_back("paper " + std::to_string(code));
  }

  PrintFont Font() const override { return font_; }
  void SetFont(const PrintFont& font) override { font_ = font; }

  int PageWidth() const override { return Width; }
  int PageHeight() const override { return Height; }

  void BeginDoc(const std::string& title) override {
    Events.push_back("begin " + title);
    Page = 1;
  }
  void NewPage() override {
    Events.push_back("newpage");
    ++Page;
  }
  void EndDoc() override { Events.push_back("end"); }
  void Abort() noexcept override { Events.push_back("abort"); }

  int TextWidth(std::string_view text) override {
    MeasuredBytes += static_cast<int>(text.size());
    return Measure(text);
  }
  int TextHeight(std::string_view) override { return LineHeightPx; }
  void TextRect(const Rect& clip, int x, int y, std::string_view text) override {
    if (static_cast<int>(Texts.size()) == FailOnTextNumber)
      throw EPrinterError("printer jammed");
    Texts.push_back({Page, clip, x, y, std::string(text)});
  }
  void SetPenWidth(int width) override { pen_ = width; }
  void MoveTo(int x, int y) override {
    x_ = x;
    y_ = y;
  }
  void LineTo(int x, int y) override {
    Lines.push_back({Page, pen_, x_, y_, x, y});
    x_ = x;
    y_ = y;
  }

  static bool IsNarrow(std::string_view character) {
    if (character.size() == 1) return true;
    if (character.size() != 3) return false;
    // U+FF61 to U+FF9F are EF BD A1 to EF BE 9F.
    const std::string_view lead = character.substr(0, 2);
    const auto last = static_cast<unsigned char>(character[2]);
    return (lead == "\xEF\xBD" && last >= 0xA1) || (lead == "\xEF\xBE" && last <= 0x9F);
  }

  // Width under the fixed metrics.
  static int Measure(std::string_view text) {
    int width = 0;
    std::size_t start = 0;
    for (std::size_t end : CharEnds(text)) {
      width += IsNarrow(text.substr(start, end - start)) ? kNarrow : kWide;
      start = end;
    }
    return width;
  }

 private:
  int selected_ = -1;
  PrintFont font_;
  int pen_ = 1;
  int x_ = 0, y_ = 0;
};

}  // namespace pelnor::test
