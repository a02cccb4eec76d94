#pragma once

// The paper sizes a printer offers, in its driver's order, with their
// Windows paper codes (QPageSize::windowsId()).

#include "platform/print_printer_list.h"

#include <QPageSize>

#include <cstdint>
#include <optional>
#include <vector>

namespace pelnor {

// The driver's list; for the built-in PDF printer a fixed list of the sizes
// a Japanese office uses, A4 first.
std::vector<QPageSize> PaperSizes(const TPrinterEntry& printer);

// The paper the driver starts a fresh job on: the queue's default (A4 when
// the queue names none), A4 for the built-in PDF printer.
QPageSize DefaultPaper(const TPrinterEntry& printer);

std::uint16_t PaperCode(const QPageSize& size);

// The size that `code` names: the first of the printer's sizes with that code,
// else the standard size of that code; nothing when the code is unknown.
std::optional<QPageSize> PaperForCode(const TPrinterEntry& printer, std::uint16_t code);

}  // namespace pelnor
