#pragma once

// Reads produced PDF files back through poppler's command-line tools
// (poppler-utils): text, word boxes, document info and rendered pixels.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace pelnor::test {

// True when pdftotext, pdfinfo and pdftoppm are installed.
bool HavePopplerTools();

// UTF-8 text of the PDF (pages `first` to `last`, 0 = no limit).
std::string PdfToText(const std::filesystem::path& pdf, int first = 0, int last = 0);

// pdfinfo's report ("Title:", "Pages:", "Page size:" lines).
std::string PdfInfo(const std::filesystem::path& pdf);

// pdffonts of the file: one line per font used.
std::string PdfFonts(const std::filesystem::path& pdf);

struct PdfWord {
  std::string Text;  // UTF-8
  double XMin = 0, YMin = 0, XMax = 0, YMax = 0;  // points from the top-left corner
};
std::vector<PdfWord> PdfWords(const std::filesystem::path& pdf);

// A grey-scale rendering: 0 is black, 255 white.
struct GrayImage {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint8_t> Pixels;
  std::uint8_t At(int x, int y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }
};

// Renders the rectangle (x, y, width, height), in pixels at `dpi`, of page 1.
GrayImage RenderPdf(const std::filesystem::path& pdf, int dpi, int x, int y, int width,
                     int height);

}  // namespace pelnor::test
