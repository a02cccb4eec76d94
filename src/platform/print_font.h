#pragma once

// The printer font as the account record holds it, turned into a QFont.

#include "core/print/print_canvas.h"

#include <QFont>

namespace pelnor {

// Font the printer object starts with: a Japanese Gothic face that Debian's
// fonts-ipafont-gothic provides, 10 points.
PrintFont DefaultPrintFont();

// Unknown names fall back through fontconfig; a size of 0 or less (never
// written by the program, but typed into a record by hand) prints at 10 points.
QFont ToQFont(const PrintFont& font);

}  // namespace pelnor
