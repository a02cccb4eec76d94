// Body decoding: turns the lines of a mail into Text and AttachedFiles.
// Single parts, multiparts (nested ones flattened), embedded messages,
// inline uuencoded blocks and the HTML parts kept as attachment files.

#include <iterator>
#include <string_view>
#include <utility>

#include "core/mime/mail_parser.h"
#include "core/mime/body_names.h"
#include "core/mime/body_structure.h"
#include "core/mime/body_uudecode.h"
#include "core/mime/encoded_words.h"
#include "core/mime/header_fields.h"
#include "core/mime/header_params.h"
#include "core/mime/html_text.h"
#include "core/text/text_decode.h"
#include "core/text/text_util.h"

namespace pelnor {
namespace {

bool Contains(const std::string& text, std::string_view word) {
  return text.find(word) != std::string::npos;
}

// The text of a run of lines: each followed by CR LF.
std::string JoinRun(const std::string* lines, std::size_t count) {
  std::size_t size = 0;
  for (std::size_t i = 0; i < count; ++i) size += lines[i].size() + 2;
  std::string text;
  text.reserve(size);
  for (std::size_t i = 0; i < count; ++i) {
    text += lines[i];
    text += "\r\n";
  }
  return text;
}

bool NeedsDecoding(const std::string* lines, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i)
    for (char c : lines[i])
      if (static_cast<unsigned char>(c) >= 0x80 || c == '\x1b') return true;
  return false;
}

// Appends a run of body lines to Text in UTF-8, decoded from `charset`
// (guessed when empty). The lines are decoded as one text, so a code
// whose state runs on over a line end reads right.
void AppendText(MailMessage& msg, std::string* lines, std::size_t count,
                const std::string& charset) {
  if (!NeedsDecoding(lines, count) && DecodesAsciiAsItself(charset)) {
    msg.Text.insert(msg.Text.end(), std::make_move_iterator(lines),
                    std::make_move_iterator(lines + count));
    return;
  }
  std::vector<std::string> decoded =
      SplitLines(DecodeText(JoinRun(lines, count), charset));
  msg.Text.insert(msg.Text.end(), std::make_move_iterator(decoded.begin()),
                  std::make_move_iterator(decoded.end()));
}

void AppendText(MailMessage& msg, std::vector<std::string>& lines, const std::string& charset) {
  AppendText(msg, lines.data(), lines.size(), charset);
  lines.clear();
}

// Quoted-printable or base64 text decoded; other encodings stay as they are.
// Returns false when the lines need no decoding.
bool DecodeInlineText(const std::string* lines, std::size_t count,
                      const std::string& encoding, std::vector<std::string>& decoded) {
  if (encoding == "QUOTED-PRINTABLE") {
    decoded = SplitLines(QDecode(JoinRun(lines, count), false));
  } else if (encoding == "BASE64") {
    decoded = SplitLines(BDecode(JoinRun(lines, count)));
  } else {
    return false;
  }
  return true;
}

// Names the attachment (the nine forbidden characters out; an unnamed HTML
// part named after the subject) and adds it to the message.
AttachedFile& AddAttachment(MailMessage& msg, const std::string& type, const std::string& name) {
  // The name is UTF-8 by now; only ASCII bytes can be forbidden characters.
  std::string fileName = RemoveForbiddenNameChars(name);
  if (type == "TEXT/HTML" && fileName.empty())
    fileName = RemoveForbiddenNameChars(HtmlNameFromSubject(msg.Subject));
  return msg.AttachedFiles.AddFile(fileName);
}

// Data of an attachment that is not base64 or uuencoded: its lines, quoted-
// printable decoded if so encoded, with CR LF line ends.
std::string TextData(const std::string* lines, std::size_t count, const std::string& encoding) {
  if (encoding == "QUOTED-PRINTABLE")
    return JoinLines(SplitLines(QDecode(JoinRun(lines, count), false)));
  return JoinRun(lines, count);
}

struct TUUBlock {
  std::string name;
  std::vector<std::string> lines;
};

// How far the uuencoded data opened by the begin line at `begin` reaches,
// and whether it is data at all. The data run to the "end" line, to the
// first line that is not uuencoded data, or to the end of the lines; blank
// lines inside do not end them. Data that reached their "end" line are a
// block as ever. Data cut off before it count only once they got as far as
// a whole 45-byte line: otherwise the begin line was text that happens to
// start with "begin", and it stays text.
struct TUUExtent {
  std::size_t end = 0;  // the "end" line, the line that cut the data off, or lines.size()
  bool isBlock = false;
};

TUUExtent ScanUUBlock(const std::vector<std::string>& lines, std::size_t begin) {
  bool wholeLine = false;
  std::size_t i = begin + 1;
  for (; i < lines.size() && !IsEndWord(lines[i]); ++i) {
    if (lines[i].empty()) continue;
    if (!IsUUDataLine(lines[i])) return {i, wholeLine};
    wholeLine = wholeLine || IsFullUULine(lines[i]);
  }
  return {i, i < lines.size() || wholeLine};
}

// Takes every uuencoded block out of the lines in one pass: from its begin
// line up to, not including, the line that ends its data (an "end" line
// stays in the text, and so does whatever cut the data off); blank lines
// inside a block are dropped. A begin line that opens no block stays in
// the text with everything after it.
std::vector<TUUBlock> ExtractUUBlocks(std::vector<std::string>& lines) {
  std::vector<TUUBlock> blocks;
  std::size_t kept = 0;
  std::size_t i = 0;
  // A begin line before this line opened no block; one after it up to this
  // line would see the same data cut off at the same place, so it opens
  // none either. Keeps hostile mail from costing quadratic time.
  std::size_t noBlockBefore = 0;
  std::string name;
  while (i < lines.size()) {
    if (i >= noBlockBefore && IsUUBeginLine(lines[i], name)) {
      const TUUExtent extent = ScanUUBlock(lines, i);
      if (extent.isBlock) {
        TUUBlock block{name, {}};
        for (; i < extent.end; ++i) {
          if (!lines[i].empty()) block.lines.push_back(std::move(lines[i]));
        }
        blocks.push_back(std::move(block));
        continue;
      }
      noBlockBefore = extent.end;
    }
    if (kept != i) lines[kept] = std::move(lines[i]);
    ++kept;
    ++i;
  }
  lines.resize(kept);
  return blocks;
}

// A file-name parameter: as the parameter syntax reads it (RFC 2231 forms
// included), else as the key found anywhere in the line, which reads
// names that break the syntax the way they always were read.
std::string NameParameter(const std::string& line, std::string_view name,
                          std::string_view upperKey) {
  // Apostrophes around a name are read as quotes, as they always were.
  if (auto value = ParameterValue(line, name))
    return value->empty() || value->front() != '\'' ? *value : MailParser::Unquote(*value);
  std::string value = GetParam(upperKey, line);
  if (value.empty()) return value;
  value.erase(0, 1);  // the "=" after the parameter name
  return MailParser::Unquote(value);
}

}  // namespace

void MailParser::DecodeBody(MailMessage& msg, std::vector<std::string>& lines) {
  DecodeLines(msg, lines, 0);
}

void MailParser::DecodeLines(MailMessage& msg, std::vector<std::string>& lines, int depth) {
  if (depth >= kMaxMimeDepth) {
    // Nested too deep to take apart: shown as it stands.
    StripHeader(lines);
    AppendText(msg, lines, {});
    return;
  }
  const PartInfo info = ReadPartInfo(lines);
  if (info.Type == "TEXT/HTML") {
    StripHeader(lines);
    MakeAttachmentFromLines(msg, lines.data(), lines.size(), info);
    AppendHtmlText(msg, msg.AttachedFiles.Items(msg.AttachedFiles.Count() - 1), info);
    lines.clear();
  } else if (Contains(info.Type, "TEXT")) {
    DecodeTextLines(msg, lines, info);
  } else if (Contains(info.Type, "MULTIPART")) {
    DecodeMultipartLines(msg, lines, depth);
  } else {
    StripHeader(lines);
    if (info.Type == "MESSAGE/RFC822") {
      DecodeLines(msg, lines, depth + 1);
    } else if (info.Encoding == "BASE64" || info.Encoding == "QUOTED-PRINTABLE" ||
               info.Encoding == "X-UUENCODE") {
      MakeAttachment(msg, lines, info.Type, info.Encoding, info.Name);
    } else {
      AppendText(msg, lines, info.Charset);
    }
  }
}

void MailParser::DecodeTextLines(MailMessage& msg, std::vector<std::string>& lines,
                                 const PartInfo& info) {
  StripHeader(lines);
  std::vector<TUUBlock> blocks = ExtractUUBlocks(lines);
  // Once a uuencoded block was found the encoding counts as x-uuencode, so
  // the rest of the text is not decoded.
  std::vector<std::string> decoded;
  if (blocks.empty() && DecodeInlineText(lines.data(), lines.size(), info.Encoding, decoded))
    lines = std::move(decoded);
  AppendText(msg, lines, info.Charset);
  for (TUUBlock& block : blocks) {
    MakeAttachment(msg, block.lines, "APPLICATION/OCTET-STREAM", "X-UUENCODE",
                   DecodeUnlabelledText(block.name));
  }
}

void MailParser::DecodeMultipartLines(MailMessage& msg, std::vector<std::string>& lines,
                                      int depth) {
  // The leaf parts stay where they are in `lines`; only embedded mails and
  // text are moved out of it.
  std::vector<LineRange> leaves;
  CollectLeafParts(lines, {0, lines.size()}, leaves, depth);
  // Without a plain text part, the first unnamed HTML part gives the body.
  bool plainText = false;
  int htmlBody = -1;
  PartInfo htmlInfo;
  for (const LineRange& leaf : leaves) {
    const PartInfo info = ReadPartInfo(HeaderBlock(lines, leaf));
    const std::size_t body = BodyStart(lines, leaf);
    std::string* first = lines.data() + body;
    const std::size_t count = leaf.end - body;
    if (info.Type == "MESSAGE/RFC822") {
      std::vector<std::string> part(std::make_move_iterator(first),
                                    std::make_move_iterator(first + count));
      DecodeLines(msg, part, depth + 1);
    } else if (info.Type == "TEXT/HTML" || info.Encoding == "X-UUENCODE" ||
               !info.Name.empty()) {
      MakeAttachmentFromLines(msg, first, count, info);
      if (info.Type == "TEXT/HTML" && info.Name.empty() && htmlBody < 0) {
        htmlBody = msg.AttachedFiles.Count() - 1;
        htmlInfo = info;
      }
    } else {
      plainText = plainText || Contains(info.Type, "TEXT/PLAIN");
      std::vector<std::string> decoded;
      if (DecodeInlineText(first, count, info.Encoding, decoded)) {
        AppendText(msg, decoded, info.Charset);
      } else {
        AppendText(msg, first, count, info.Charset);
      }
    }
  }
  if (!plainText && htmlBody >= 0) AppendHtmlText(msg, msg.AttachedFiles.Items(htmlBody), htmlInfo);
  lines.clear();
}

void MailParser::AppendHtmlText(MailMessage& msg, const AttachedFile& html,
                                const PartInfo& info) {
  const std::string charset = info.Charset.empty() ? HtmlMetaCharset(html.Data) : info.Charset;
  std::vector<std::string> text = HtmlToTextLines(DecodeText(html.Data, charset));
  msg.Text.insert(msg.Text.end(), std::make_move_iterator(text.begin()),
                  std::make_move_iterator(text.end()));
}

void MailParser::MakeAttachmentFromLines(MailMessage& msg, const std::string* lines,
                                         std::size_t count, const PartInfo& info) {
  AttachedFile& item = AddAttachment(msg, info.Type, info.Name);
  if (info.Encoding == "BASE64") {
    DecodeBase64Lines(item, lines, count);
  } else if (info.Encoding == "X-UUENCODE") {
    DecodeUULines(item, lines, count);
  } else {
    item.Data = TextData(lines, count, info.Encoding);
  }
}

MailParser::PartInfo MailParser::ReadPartInfo(const std::vector<std::string>& lines) {
  PartInfo info;
  if (const auto line = FindHeader("CONTENT-TYPE:", lines)) {
    info.Type = UpperCase(GetParam("CONTENT-TYPE:", *line));
    info.Name = NameParameter(*line, "name", "NAME");
    info.Charset = ParameterValue(*line, "charset").value_or("");
  } else {
    info.Type = "TEXT/PLAIN";
  }
  if (const auto line = FindHeader("CONTENT-TRANSFER-ENCODING:", lines)) {
    info.Encoding = UpperCase(GetParam("CONTENT-TRANSFER-ENCODING:", *line));
  } else {
    info.Encoding = "7BIT";
  }
  if (info.Name.empty()) {
    if (const auto line = FindHeader("CONTENT-DISPOSITION:", lines))
      info.Name = NameParameter(*line, "filename", "FILENAME");
  }
  // Encoded words inside the value are what Outlook sends.
  if (!info.Name.empty()) info.Name = DecodeWords(info.Name);
  return info;
}

void MailParser::MakeAttachment(MailMessage& msg, std::vector<std::string>& lines,
                                const std::string& type, const std::string& encoding,
                                std::string name) {
  AttachedFile& item = AddAttachment(msg, type, name);
  if (encoding == "BASE64" || encoding == "X-UUENCODE") {
    // The caller is done with its lines: they move instead of being copied.
    item.Lines = std::move(lines);
    lines.clear();
    struct LinesRelease {
      std::vector<std::string>& lines;
      ~LinesRelease() { std::vector<std::string>().swap(lines); }
    } release{item.Lines};
    if (encoding == "BASE64") {
      DecodeBase64Attachment(item);
    } else {
      DecodeUUAttachment(item);
    }
  } else {
    item.Data = TextData(lines.data(), lines.size(), encoding);
  }
}

std::string MailParser::Unquote(const std::string& text) {
  std::string result = text;
  auto isQuote = [](char c) { return c == '"' || c == '\''; };
  if (!result.empty() && isQuote(result.front())) result.erase(0, 1);
  if (!result.empty() && isQuote(result.back())) result.pop_back();
  return result;
}

}  // namespace pelnor
