#pragma once

// The printout of one message: a title with the account's alias between
// heavy rules, the labelled header block (one line per attachment, each
// attachment saved just before its line), a light rule and the wrapped body,
// on the account's printer and paper in the printer's current font.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "core/check/attachment_output.h"
#include "core/print/clock.h"
#include "core/check/comm_log.h"
#include "core/print/print_canvas.h"
#include "core/mime/mail_message.h"
#include "core/store/account.h"

namespace pelnor {

struct PageMargins {
  int MarginLeft = 200;
  int MarginTop = 200;
  int MarginRight = 200;
  int MarginBottom = 200;
};

// "display name [date before its zone]": how the log names a message, in
// Shift_JIS ("〓" for what it cannot hold). From is cut before its first
// "<", Date before its first "+".
std::string MessageLogText(const MailMessage& msg);

// "[alias]" + MessageLogText: the log text of a printed message. The
// alias is Shift_JIS as the account list holds it.
std::string OutputLogText(const std::string& alias, const MailMessage& msg);

class MessagePrinter {
 public:
  MessagePrinter(PrintCanvas& canvas, CommLog& log, const Clock& clock,
                  std::filesystem::path programDir);

  // Asks the output history whether `msg` was output for `alias` before.
  // Only asks: the caller records a message once its job is complete.
  // Unset, every message counts as new.
  std::function<bool(const std::string& alias, const MailMessage& msg)> WasOutput;

  // Called before each body line, so the user interface stays alive during
  // a long job; whatever it throws aborts the job.
  std::function<void()> OnProgress;

  PageMargins Margins;

  // Prints `msg` as one job titled "Pelnor" on the account's printer and
  // paper (see PrinterIndexFor), saves its attachments and logs it; returns
  // false, having printed nothing, for a message output before.
  // True means the printer took the whole job. A failure inside the job
  // aborts the job, puts the paper back and propagates. A `reprint` (a
  // printout of this mail may have come out before) says "（再出力）" after
  // the title, so a possible duplicate shows as one.
  bool PrintMessage(const MailMessage& msg, const Account& account, bool reprint = false);

  // Selects the printer (-1, or an index past the list: the default
  // printer) with its driver's default settings, remembers its paper in
  // SavedPaperSize and sets the paper at `paperIndex` of its list (an index
  // outside the list keeps the default paper).
  void SelectPrinterPaper(int printerIndex, int paperIndex);

  void PrintHeaderField(const std::string& label, const std::string& value);
  void PrintBodyLine(const std::string& line);

  // Print state; valid during one job.
  int PrintLeft = 0;
  int PrintRight = 0;
  int PrintY = 0;
  int PrintBottom = 0;
  int LineHeight = 0;
  int LabelCharWidth = 0;
  std::uint16_t SavedPaperSize = 0;

 private:
  class JobGuard;

  void StartPage();
  void PrintTitle(const std::string& alias, bool reprint);
  void PrintRule(int lines);
  void PrintHeaderBlock(const MailMessage& msg, const Account& account,
                        const DateTime& retrievedAt);
  void BreakPageIfPending();
  int Width(std::string_view text) { return canvas_.TextWidth(text); }

  PrintCanvas& canvas_;
  CommLog& log_;
  const Clock& clock_;
  AttachmentSaver saver_;
  // A full page asks for a new one only when more is drawn, so a body that
  // ends at the bottom of a page leaves no blank sheet.
  bool pagePending_ = false;
};

}  // namespace pelnor
