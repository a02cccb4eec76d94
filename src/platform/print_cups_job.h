#pragma once

// Hands a finished job to a CUPS queue. The printing layer renders every job
// to a PDF file of its own first, so a job that fails midway is never
// submitted. A job counts only when CUPS took all of it: every step of the
// submission is checked, and a job CUPS created but did not fully receive
// is cancelled.

#include "platform/print_job_file.h"

#include <QString>

namespace pelnor {

// Submits `pdf` to `queue` as one job titled `title` on paper `media` (the
// queue's paper key, e.g. "A4"); the queue's other defaults apply. Throws
// EPrinterError, with CUPS's reason, when the queue is stopped (it would hold
// the job unprinted), refuses the job or does not receive it whole.
void SubmitToCups(const QString& queue, const PrintJobFile& pdf, const QString& title,
                  const QString& media);

}  // namespace pelnor
