#pragma once

// Where the built-in PDF printer puts its jobs: one new file per job in the
// folder "PDF" of the program directory.

#include <filesystem>

namespace pelnor {

std::filesystem::path PdfOutputDir(const std::filesystem::path& programDir);

// Creates the folder when needed and a new, empty file named after the
// current local time ("yyyyMMdd-HHmmss.pdf", then "-2", "-3"... when taken).
// The file is created exclusively, so two jobs never share a name.
// Throws EPrinterError when the folder or file cannot be created.
std::filesystem::path ReservePdfJobFile(const std::filesystem::path& programDir);

}  // namespace pelnor
