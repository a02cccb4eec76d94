#pragma once

// Hands a finished job to a CUPS queue. The printing layer renders every job
// to a PDF file of its own first, so a job that fails midway is simply never
// submitted, and a queue that refuses the job is reported.

#include <QString>

#include <filesystem>

namespace pelnor {

// Submits `pdf` to `queue` as one job titled `title` on paper `media` (the
// queue's paper key, e.g. "A4"); the queue's other defaults apply. Throws
// EPrinterError with CUPS's reason when the job is not accepted.
void SubmitToCups(const QString& queue, const std::filesystem::path& pdf, const QString& title,
                  const QString& media);

}  // namespace pelnor
