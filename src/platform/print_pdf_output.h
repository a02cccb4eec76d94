#pragma once

// Where jobs are rendered: for the built-in PDF printer one new file per job
// in the folder "PDF" of the program directory, for a system printer a
// temporary file that goes to CUPS once the job is complete.

#include <filesystem>

namespace pelnor {

std::filesystem::path PdfOutputDir(const std::filesystem::path& programDir);

// Creates the folder when needed and a new, empty file named after the
// current local time ("yyyyMMdd-HHmmss.pdf", then "-2", "-3"... when taken).
// The file is created exclusively, so two jobs never share a name.
// Throws EPrinterError when the folder or file cannot be created.
std::filesystem::path ReservePdfJobFile(const std::filesystem::path& programDir);

// A new, empty file in the temporary directory for a job on its way to a
// system printer ("pelnor-job-XXXXXX.pdf"). Throws EPrinterError.
std::filesystem::path ReserveSpoolFile();

}  // namespace pelnor
