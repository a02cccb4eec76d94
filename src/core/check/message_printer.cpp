#include "core/check/message_printer.h"

#include "core/check/check_session.h"
#include "core/print/japanese_date.h"
#include "core/print/text_wrap.h"
#include "core/text/sjis.h"

namespace pelnor {
namespace {

struct PrintLabels {
  std::string TitleOpen = "【 ";
  std::string TitleClose = " 】";
  std::string Reprint = "（再出力）";
  std::string Sender = "送信者：";
  std::string Recipients = "宛先：";
  std::string Date = "送信日時：";
  std::string Subject = "件名：";
  std::string Attachment = "添付：";
  std::string LabelChar = "あ";
};

const PrintLabels& Labels() {
  static const PrintLabels labels;
  return labels;
}

const char kJobTitle[] = "Pelnor";

}  // namespace

std::string MessageLogText(const MailMessage& msg) {
  return Utf8ToSjisLossy(msg.From.substr(0, msg.From.find('<')) + "[" +
                         msg.Date.substr(0, msg.Date.find('+')) + "]");
}

std::string OutputLogText(const std::string& alias, const MailMessage& msg) {
  return "[" + alias + "]" + MessageLogText(msg);
}

// Ends a job that did not reach EndDoc, and puts the paper back either way.
class MessagePrinter::JobGuard {
 public:
  explicit JobGuard(MessagePrinter& printer) : printer_(printer) {}
  JobGuard(const JobGuard&) = delete;
  JobGuard& operator=(const JobGuard&) = delete;
  ~JobGuard() {
    if (!ended_) {
      printer_.canvas_.Abort();
      // The job's own error is on its way to the caller; a second failure
      // while putting the paper back must not replace it.
      try {
        printer_.canvas_.SetPaperSize(printer_.SavedPaperSize);
      } catch (const std::exception&) {
      }
    }
  }
  void End() {
    printer_.canvas_.EndDoc();
    ended_ = true;
    printer_.canvas_.SetPaperSize(printer_.SavedPaperSize);
  }

 private:
  MessagePrinter& printer_;
  bool ended_ = false;
};

MessagePrinter::MessagePrinter(PrintCanvas& canvas, CommLog& log, const Clock& clock,
                                 std::filesystem::path programDir)
    : canvas_(canvas), log_(log), clock_(clock), saver_(std::move(programDir)) {}

void MessagePrinter::SelectPrinterPaper(int printerIndex, int paperIndex) {
  if (printerIndex >= static_cast<int>(canvas_.Printers().size())) printerIndex = -1;
  canvas_.SelectPrinter(printerIndex);
  canvas_.ResetDeviceMode();
  std::vector<std::uint16_t> codes = canvas_.PaperCodes();
  SavedPaperSize = canvas_.PaperSize();
  if (paperIndex >= 0 && paperIndex < static_cast<int>(codes.size()))
    canvas_.SetPaperSize(codes[paperIndex]);
}

bool MessagePrinter::PrintMessage(const MailMessage& msg, const Account& account, bool reprint) {
  // Output follows retrieval within the same POP3 session, so this is the
  // retrieval time that names the folder of a message without a readable Date.
  DateTime retrievedAt = clock_.Now();
  SelectPrinterPaper(PrinterIndexFor(account, canvas_.Printers().size()), PaperIndexFor(account));
  StartPage();
  if (WasOutput && WasOutput(account.Alias, msg)) return false;

  JobGuard job(*this);
  canvas_.BeginDoc(kJobTitle);
  PrintTitle(account.Alias, reprint);
  PrintRule(5);
  PrintHeaderBlock(msg, account, retrievedAt);
  PrintRule(3);
  for (const std::string& line : msg.Text) {
    if (OnProgress) OnProgress();
    PrintBodyLine(line);
  }
  job.End();

  log_.WriteLog(OutputLogText(account.Alias, msg), lkOutput);
  return true;
}

void MessagePrinter::StartPage() {
  PrintLeft = Margins.MarginLeft;
  PrintRight = canvas_.PageWidth() - Margins.MarginRight;
  PrintY = Margins.MarginTop;
  PrintBottom = canvas_.PageHeight() - Margins.MarginBottom;
  pagePending_ = false;
}

void MessagePrinter::PrintTitle(const std::string& alias, bool reprint) {
  std::string title = Labels().TitleOpen + SjisToUtf8(alias) + Labels().TitleClose;
  if (reprint) title += Labels().Reprint;
  LineHeight = canvas_.TextHeight(title);
  canvas_.TextRect({PrintLeft, PrintY, PrintRight, PrintBottom}, PrintLeft, PrintY, title);
  PrintY += LineHeight;
}

// `lines` lines of pen width 2, one pixel apart, half a line below PrintY.
void MessagePrinter::PrintRule(int lines) {
  canvas_.SetPenWidth(2);
  for (int i = 0; i < lines; ++i) {
    int y = PrintY + LineHeight / 2 + i;
    canvas_.MoveTo(PrintLeft, y);
    canvas_.LineTo(PrintRight, y);
  }
  PrintY += LineHeight + LineHeight / 3;
}

void MessagePrinter::PrintHeaderBlock(const MailMessage& msg, const Account& account,
                                       const DateTime& retrievedAt) {
  const PrintLabels& labels = Labels();
  PrintHeaderField(labels.Sender, msg.From);
  PrintHeaderField(labels.Recipients, msg.SendTo);
  PrintHeaderField(labels.Date, FormatJapaneseDate(msg.Date));
  PrintHeaderField(labels.Subject, msg.Subject);
  for (int i = 0; i < msg.AttachedFiles.Count(); ++i) {
    const AttachedFile& file = msg.AttachedFiles.Items(i);
    // Saved first, so the line names the file as it was written.
    const std::filesystem::path written =
        saver_.SaveAttachment(file, account, msg.Date, retrievedAt);
    PrintHeaderField(i == 0 ? labels.Attachment : std::string(),
                     written.empty() ? file.FileName : PrintedFileName(written));
  }
}

void MessagePrinter::PrintHeaderField(const std::string& label, const std::string& value) {
  LabelCharWidth = Width(Labels().LabelChar);
  const int l0 = PrintLeft;
  const int r0 = PrintRight;
  const int column = l0 + 6 * LabelCharWidth;
  canvas_.TextRect({l0, PrintY, column, PrintBottom}, l0, PrintY, label);

  LineHeight = canvas_.TextHeight(value);
  auto measure = [this](std::string_view s) { return Width(s); };
  for (std::string_view piece : WrapText(value, r0 - column, measure)) {
    canvas_.TextRect({column, PrintY, r0, PrintBottom}, column, PrintY, piece);
    PrintY += LineHeight + LineHeight / 3;
  }
  PrintLeft = l0;
}

void MessagePrinter::PrintBodyLine(const std::string& line) {
  const int h = canvas_.TextHeight(line);
  auto measure = [this](std::string_view s) { return Width(s); };
  for (std::string_view piece : WrapText(line, PrintRight - PrintLeft, measure)) {
    // A header block that ran past the bottom leaves no room: start the
    // body on a new page rather than clip its first line away.
    if (!pagePending_ && PrintY > Margins.MarginTop && PrintBottom - PrintY < h)
      pagePending_ = true;
    BreakPageIfPending();
    canvas_.TextRect({PrintLeft, PrintY, PrintRight, PrintBottom}, PrintLeft, PrintY, piece);
    PrintY += h + h / 3;
    if (PrintBottom - PrintY < h) {
      pagePending_ = true;
      PrintY = Margins.MarginTop;
    }
  }
}

void MessagePrinter::BreakPageIfPending() {
  if (!pagePending_) return;
  canvas_.NewPage();
  PrintY = Margins.MarginTop;
  pagePending_ = false;
}

}  // namespace pelnor
