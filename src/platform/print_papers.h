#pragma once

// The paper sizes a printer offers, in its driver's order, with their
// Windows paper codes (QPageSize::windowsId()).

#include "platform/print_printer_list.h"

#include <QPageSize>

#include <cstdint>
#include <optional>
#include <vector>

namespace pelnor {

struct PaperList {
  std::vector<QPageSize> Sizes;  // the driver's order
  QPageSize Default;             // what a fresh job prints on
};

// Asks the driver. The built-in PDF printer offers a fixed list of the sizes
// a Japanese office uses, A4 first and by default; a queue that names no
// default paper starts on A4 as well.
PaperList LoadPapers(const PrinterEntry& printer);

std::uint16_t PaperCode(const QPageSize& size);

// The size that `code` names: the first of `sizes` with that code, else the
// standard size of that code; nothing when the code is unknown.
std::optional<QPageSize> PaperForCode(const std::vector<QPageSize>& sizes, std::uint16_t code);

}  // namespace pelnor
