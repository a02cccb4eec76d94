#include "platform/print_cups_job.h"

#include "core/print/print_canvas.h"
#include "core/text/error_text.h"
#include "platform/print_text.h"
#include "core/text/sjis.h"

#include <cups/cups.h>

#include <cerrno>
#include <memory>
#include <vector>

namespace pelnor {
namespace {

constexpr std::size_t kChunkSize = 64 * 1024;
constexpr int kConnectTimeoutMs = 30000;

using Connection = std::unique_ptr<http_t, decltype(&httpClose)>;
using Response = std::unique_ptr<ipp_t, decltype(&ippDelete)>;

std::string LastReason() {
  const char* reason = cupsLastErrorString();
  return ToSjis(QString::fromUtf8(reason ? reason : ""));
}

bool IsError(ipp_status_t status) { return status > IPP_STATUS_OK_CONFLICTING; }

[[noreturn]] void Refused(const std::string& reason) {
  throw EPrinterError(Sjis("印刷ジョブが受け付けられませんでした: ") + reason);
}

[[noreturn]] void Refused() { Refused(LastReason()); }

// A document that breaks off mid-way leaves only an HTTP status behind.
[[noreturn]] void RefusedDocument(http_status_t status) {
  if (IsError(cupsLastError())) Refused();
  Refused(ToSjis(QString::fromUtf8(httpStatus(status))));
}

// A connection of our own, so that a document CUPS is still receiving can
// be broken off by closing it.
Connection Connect() {
  Connection http(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                               kConnectTimeoutMs, nullptr),
                  httpClose);
  if (!http)
    throw EPrinterError(Sjis("印刷システムに接続できません: ") + cupsServer() + ": " +
                        ErrorText(errno));
  return http;
}

// A stopped queue still takes jobs in, and holds them unprinted until
// someone starts it again: for unattended printing that is a failure.
void RequireRunningQueue(http_t* http, const QByteArray& queue) {
  ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
  char uri[HTTP_MAX_URI];
  httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                   "/printers/%s", queue.constData());
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
  static const char* const kWanted[] = {"printer-state", "printer-state-message"};
  ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2, nullptr,
                kWanted);
  const Response response(cupsDoRequest(http, request, "/"), ippDelete);
  if (!response || IsError(cupsLastError())) Refused();
  ipp_attribute_t* state = ippFindAttribute(response.get(), "printer-state", IPP_TAG_ENUM);
  if (!state || ippGetInteger(state, 0) != IPP_PSTATE_STOPPED) return;
  ipp_attribute_t* message = ippFindAttribute(response.get(), "printer-state-message", IPP_TAG_TEXT);
  const char* text = message ? ippGetString(message, 0, nullptr) : nullptr;
  throw EPrinterError(Sjis("プリンタが停止しています: ") + ToSjis(QString::fromUtf8(queue)) +
                      ": " + ToSjis(QString::fromUtf8(text && *text ? text : "stopped")));
}

int CreateJob(http_t* http, const QByteArray& queue, const QByteArray& title,
              const QByteArray& media) {
  cups_option_t* options = nullptr;
  int count = 0;
  if (!media.isEmpty()) count = cupsAddOption("media", media.constData(), count, &options);
  const int job = cupsCreateJob(http, queue.constData(), title.constData(), count, options);
  cupsFreeOptions(count, options);
  if (job == 0) Refused();
  return job;
}

void SendDocument(http_t* http, const QByteArray& queue, int job, const QByteArray& title,
                  const PrintJobFile& pdf) {
  http_status_t status =
      cupsStartDocument(http, queue.constData(), job, title.constData(), CUPS_FORMAT_PDF, 1);
  if (status != HTTP_STATUS_CONTINUE) RefusedDocument(status);
  std::vector<char> chunk(kChunkSize);
  std::uint64_t offset = 0;
  while (const std::size_t size = pdf.ReadAt(offset, chunk.data(), chunk.size())) {
    status = cupsWriteRequestData(http, chunk.data(), size);
    if (status != HTTP_STATUS_CONTINUE) RefusedDocument(status);
    offset += size;
  }
  if (IsError(cupsFinishDocument(http, queue.constData()))) Refused();
}

}  // namespace

void SubmitToCups(const QString& queue, const PrintJobFile& pdf, const QString& title,
                  const QString& media) {
  const QByteArray name = queue.toUtf8();
  const QByteArray jobTitle = title.toUtf8();
  Connection http = Connect();
  RequireRunningQueue(http.get(), name);
  const int job = CreateJob(http.get(), name, jobTitle, media.toUtf8());
  try {
    SendDocument(http.get(), name, job, jobTitle, pdf);
  } catch (const std::exception& error) {
    http.reset();  // breaks off a document still on its way
    if (IsError(cupsCancelJob2(CUPS_HTTP_DEFAULT, name.constData(), job, 0)))
      throw EPrinterError(error.what() + Sjis(" (ジョブを取り消せませんでした: ") + LastReason() +
                          ")");
    throw;
  }
}

}  // namespace pelnor
