#pragma once

// Where jobs are written: for the built-in PDF printer one new file per job
// in the folder "PDF" of the program directory, for a system printer a
// file in the temporary directory that goes to CUPS once the job is complete.
// Either has no name until it is complete (see PrintJobFile).

#include "platform/print_job_file.h"

#include <filesystem>
#include <memory>

namespace pelnor {

std::filesystem::path PdfOutputDir(const std::filesystem::path& programDir);

// The file of a new job on the built-in printer, in the folder (created when
// needed). It is called by the name it is to get, after the local time now:
// "yyyyMMdd-HHmmss.pdf". Throws EPrinterError.
std::unique_ptr<PrintJobFile> OpenPdfJobFile(const std::filesystem::path& programDir);

// Writes out the finished job and gives it its name, or "-2", "-3"... before
// ".pdf" when that is taken, so no file is ever replaced; the name is made
// durable too. Returns the path. Throws EPrinterError and then leaves no file.
std::filesystem::path PublishPdfJobFile(PrintJobFile& file);

// The file of a job on its way to a system printer; it never gets a name.
// Throws EPrinterError.
std::unique_ptr<PrintJobFile> OpenSpoolFile();

}  // namespace pelnor
