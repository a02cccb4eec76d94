#include "platform/print_font.h"

#include "platform/print_text.h"

namespace pelnor {

PrintFont DefaultPrintFont() {
  PrintFont font;
  font.Name = "IPAGothic";
  font.Size = 10;
  return font;
}

QFont ToQFont(const PrintFont& font) {
  QFont result(FromSjis(font.Name));
  result.setPointSize(font.Size > 0 ? font.Size : 10);
  result.setBold(font.Style[fsBold]);
  result.setItalic(font.Style[fsItalic]);
  result.setUnderline(font.Style[fsUnderline]);
  result.setStrikeOut(font.Style[fsStrikeOut]);
  // Kerning stays on: widths are measured on whole texts, as drawn.
  return result;
}

}  // namespace pelnor
