#pragma once

// Turns the raw lines of one fetched mail into a MailMessage: header fields,
// MIME body and attachments, all text in UTF-8 (each part decoded from the
// charset it declares), and the finishing step.
//
// The POP3 client owns one parser and calls, per message:
//   ParseHeader(msg); DecodeBody(msg, lines) (full fetch only); Finish(msg).
// The parser never owns messages. Decode events carry no sender: the client
// forwards them to its own events, adding itself as the sender.
//
// Bad mail never makes it raise: what cannot be decoded is kept as it came
// or left out, and the rest is decoded. Only the temporary files of the
// attachment decoders (ETempFileError) and an exception from the pump pass
// through.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/mime/mail_message.h"

namespace pelnor {

class MailParser {
 public:
  // --- configuration and events (set by the owning client) ----------------
  std::uint16_t DecodeProgressStep = 10;  // percent between progress reports

  // An attachment decoder starts: its FileName and the number of encoded
  // lines.
  std::function<void(const std::string& FileName, std::int32_t BytesCount)>
      OnDecodeStart;
  std::function<void(std::uint16_t Percent)> OnDecodeProgress;
  std::function<void()> OnDecodeEnd;
  // Lets the user interface process pending events. Called through Pump(),
  // which throttles it to about once per PumpIntervalNs of work.
  std::function<void()> OnProcessMessages;

  // The last percentage computed by an attachment decoder.
  std::uint16_t LastPercent() const { return lastPercent_; }

  // --- header parsing ----------------------------------------------------------
  // Fills From, Sender, MessageId, InReplyTo, ReturnPath, ReplyTo, SendTo,
  // CC, Date, Subject, ContentType, ContentTransferEncoding from Headers. A
  // missing field keeps its value; ContentType and ContentTransferEncoding
  // default to "TEXT/PLAIN" and "7BIT".
  static void ParseHeader(MailMessage& msg);
  // The To field: quotes dropped, each "name <address>" item converted.
  static std::string FormatToList(const std::string& text);
  // Converts each ","-separated item; items joined by "," (a following
  // item keeps its leading blanks).
  static std::string ConvertAddressList(const std::string& text);
  // "name <address>" with the name's encoded words decoded, both parts in
  // UTF-8; no blank between the name and the "<".
  static std::string ConvertAddress(const std::string& text);
  // "name <address>" with the blanks before the "<" dropped; a text without
  // a name before a "<" as it is.
  static std::string JoinNameAndAddress(const std::string& text);

  // --- finishing step (after DecodeBody) -------------------------------------
  // A From or Reply-To with non-ASCII text loses the blank between its name
  // and its address, as it always printed.
  static void Finish(MailMessage& msg);

  // --- body decoding (mail_parser_body.cpp) -------------------------------------
  struct PartInfo {
    std::string Type;      // Content-Type up to ";", upper-cased
    std::string Name;      // file name, possibly empty
    std::string Encoding;  // Content-Transfer-Encoding, upper-cased
    std::string Charset;   // the Content-Type's charset parameter, as written
  };

  // Fills Text and AttachedFiles from the whole mail (header included).
  // `lines` is consumed. Raises only ETempFileError (temporary file) and
  // what the pump raises.
  void DecodeBody(MailMessage& msg, std::vector<std::string>& lines);
  static PartInfo ReadPartInfo(const std::vector<std::string>& lines);
  // Deletes the header block and the blank lines after it.
  static void StripHeader(std::vector<std::string>& lines);
  // Appends the leaf parts of `lines` (a part or whole mail, header
  // included), nested multiparts flattened, in document order.
  static void SplitMultipart(std::vector<std::string> lines,
                             std::vector<std::vector<std::string>>& parts);
  // "--" + the boundary parameter of a Content-Type line.
  static std::string ExtractBoundary(const std::string& contentTypeLine);
  // The first "begin <mode> <name>" line: its index and the file name.
  static bool FindUUBegin(const std::vector<std::string>& lines,
                          std::size_t& index, std::string& name);
  // Appends one decoded attachment to msg.AttachedFiles.
  void MakeAttachment(MailMessage& msg, std::vector<std::string>& lines,
                      const std::string& type, const std::string& encoding,
                      std::string name);
  void DecodeBase64Attachment(AttachedFile& item);
  // The data end at an "end" line, a grave accent alone or the first line
  // that is not uuencoded data; what came before it is kept.
  void DecodeUUAttachment(AttachedFile& item);
  // Drops one leading and one trailing quote (" or ').
  static std::string Unquote(const std::string& text);

 private:
  // Calls OnProcessMessages when at least PumpIntervalNs has passed since the
  // last call. Cheap enough to call per decoded line or group.
  void Pump();

  static constexpr std::int64_t PumpIntervalNs = 20'000'000;  // 20 ms

  std::uint16_t lastPercent_ = 0;
  std::int64_t lastPumpNs_ = 0;  // coarse monotonic clock at the last pump
  unsigned pumpTicks_ = 0;
  // --- body-decoding private helpers go below --------------------------------
  // DecodeBody `depth` levels down in nested multiparts and embedded mails.
  void DecodeLines(MailMessage& msg, std::vector<std::string>& lines, int depth);
  void DecodeTextLines(MailMessage& msg, std::vector<std::string>& lines,
                       const PartInfo& info);
  void DecodeMultipartLines(MailMessage& msg, std::vector<std::string>& lines, int depth);
  // MakeAttachment over a run of a multipart mail's lines, decoded where
  // they stand instead of being moved into the attachment first.
  void MakeAttachmentFromLines(MailMessage& msg, const std::string* lines, std::size_t count,
                               const PartInfo& info);
  void DecodeBase64Lines(AttachedFile& item, const std::string* lines, std::size_t count);
  // The text of an HTML attachment appended to Text: a body that is HTML
  // only still prints as text.
  static void AppendHtmlText(MailMessage& msg, const AttachedFile& html, const PartInfo& info);
  void DecodeUULines(AttachedFile& item, const std::string* lines, std::size_t count);
};

}  // namespace pelnor
