#include "platform/print_cups_job.h"

#include "app/print_canvas.h"
#include "platform/print_text.h"
#include "platform/sjis_literal.h"

#include <cups/cups.h>

namespace pelnor {

void SubmitToCups(const QString& queue, const std::filesystem::path& pdf, const QString& title,
                  const QString& media) {
  const QByteArray name = queue.toUtf8();
  const QByteArray jobTitle = title.toUtf8();
  const QByteArray paper = media.toUtf8();
  cups_option_t* options = nullptr;
  int count = 0;
  if (!paper.isEmpty()) count = cupsAddOption("media", paper.constData(), count, &options);
  const int job = cupsPrintFile(name.constData(), pdf.c_str(), jobTitle.constData(), count, options);
  cupsFreeOptions(count, options);
  if (job == 0) {
    const char* reason = cupsLastErrorString();
    throw EPrinterError(Sjis("印刷ジョブが受け付けられませんでした: ") +
                        ToSjis(QString::fromUtf8(reason ? reason : "")));
  }
}

}  // namespace pelnor
