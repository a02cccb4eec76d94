// Body decoding: turns the lines of a mail into Text and AttachedFiles.
// Single parts, multiparts (nested ones flattened), embedded messages,
// inline uuencoded blocks and the HTML parts kept as attachment files.

#include <iterator>
#include <string_view>
#include <utility>

#include "mime/VekParser.h"
#include "mime/body_names.h"
#include "mime/body_structure.h"
#include "mime/body_uudecode.h"
#include "mime/jconvert.h"
#include "mime/vek_util.h"

namespace pelnor {
namespace {

bool Contains(const std::string& text, std::string_view word) {
  return text.find(word) != std::string::npos;
}

void AppendText(TVekMsg& msg, std::vector<std::string>& lines) {
  msg.Text.insert(msg.Text.end(), std::make_move_iterator(lines.begin()),
                  std::make_move_iterator(lines.end()));
  lines.clear();
}

// Quoted-printable or base64 text decoded in place; other encodings stay.
void DecodeInlineText(std::vector<std::string>& lines, const std::string& encoding) {
  if (encoding == "QUOTED-PRINTABLE") {
    lines = SplitLines(QDecode(JoinLines(lines), false));
  } else if (encoding == "BASE64") {
    lines = SplitLines(BDecode(JoinLines(lines)));
  }
}

class TBodyDecoder {
 public:
  TBodyDecoder(TVekParser& parser, TVekMsg& msg) : parser_(parser), msg_(msg) {}

  void Decode(std::vector<std::string>& lines, int depth) {
    if (depth >= kMaxMimeDepth) {
      // Nested too deep to take apart: shown as it stands.
      TVekParser::StripHeader(lines);
      AppendText(msg_, lines);
      return;
    }
    const TVekParser::TPartInfo info = TVekParser::ReadPartInfo(lines);
    if (Contains(info.Type, "TEXT")) {
      DecodeText(lines, info.Encoding);
    } else if (Contains(info.Type, "MULTIPART")) {
      DecodeMultipart(lines, depth);
    } else {
      TVekParser::StripHeader(lines);
      if (info.Type == "MESSAGE/RFC822") {
        Decode(lines, depth + 1);
      } else if (info.Encoding == "BASE64" || info.Encoding == "QUOTED-PRINTABLE" ||
                 info.Encoding == "X-UUENCODE") {
        parser_.MakeAttachment(msg_, lines, info.Type, info.Encoding, info.Name);
      } else {
        AppendText(msg_, lines);
      }
    }
  }

 private:
  struct TUUBlock {
    std::string name;
    std::vector<std::string> lines;
  };

  void DecodeText(std::vector<std::string>& lines, const std::string& encoding) {
    TVekParser::StripHeader(lines);
    std::vector<TUUBlock> blocks = ExtractUUBlocks(lines);
    if (blocks.empty()) DecodeInlineText(lines, encoding);
    AppendText(msg_, lines);
    for (TUUBlock& block : blocks) {
      parser_.MakeAttachment(msg_, block.lines, "APPLICATION/OCTET-STREAM",
                             "X-UUENCODE", block.name);
    }
  }

  // Takes every uuencoded block out of the lines in one pass: from its begin
  // line up to, not including, its "end" line (which stays in the text);
  // blank lines inside a block are dropped.
  static std::vector<TUUBlock> ExtractUUBlocks(std::vector<std::string>& lines) {
    std::vector<TUUBlock> blocks;
    std::size_t kept = 0;
    std::size_t i = 0;
    std::string name;
    while (i < lines.size()) {
      if (IsUUBeginLine(lines[i], name)) {
        TUUBlock block{name, {}};
        for (; i < lines.size() && !IsEndWord(lines[i]); ++i) {
          if (!lines[i].empty()) block.lines.push_back(std::move(lines[i]));
        }
        blocks.push_back(std::move(block));
        continue;
      }
      if (kept != i) lines[kept] = std::move(lines[i]);
      ++kept;
      ++i;
    }
    lines.resize(kept);
    return blocks;
  }

  void DecodeMultipart(std::vector<std::string>& lines, int depth) {
    std::vector<std::vector<std::string>> parts;
    SplitMultipartAt(std::move(lines), parts, depth);
    lines.clear();
    for (std::vector<std::string>& part : parts) {
      const TVekParser::TPartInfo info = TVekParser::ReadPartInfo(part);
      TVekParser::StripHeader(part);
      if (info.Type == "MESSAGE/RFC822") {
        Decode(part, depth + 1);
      } else if (info.Type == "TEXT/HTML" || info.Encoding == "X-UUENCODE" ||
                 !info.Name.empty()) {
        parser_.MakeAttachment(msg_, part, info.Type, info.Encoding, info.Name);
      } else {
        DecodeInlineText(part, info.Encoding);
        AppendText(msg_, part);
      }
      // Give each part's memory back as soon as it is done with.
      std::vector<std::string>().swap(part);
    }
  }

  TVekParser& parser_;
  TVekMsg& msg_;
};

}  // namespace

void TVekParser::DecodeBody(TVekMsg& msg, std::vector<std::string>& lines) {
  TBodyDecoder(*this, msg).Decode(lines, 0);
}

TVekParser::TPartInfo TVekParser::ReadPartInfo(const std::vector<std::string>& lines) {
  TPartInfo info;
  if (const auto line = FindHeader("CONTENT-TYPE:", lines)) {
    info.Type = UpperCase(GetParam("CONTENT-TYPE:", *line));
    info.Name = GetParam("NAME", *line);
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
      info.Name = GetParam("FILENAME", *line);
  }
  if (!info.Name.empty()) {
    info.Name.erase(0, 1);  // the "=" after the parameter name
    info.Name = DecodeWords(Unquote(info.Name));
    if (DetectCode(info.Name) != jcAscii) info.Name = DecodeHeaderText(info.Name);
  }
  return info;
}

void TVekParser::MakeAttachment(TVekMsg& msg, std::vector<std::string>& lines,
                                const std::string& type, const std::string& encoding,
                                std::string name) {
  name = RemoveForbiddenNameChars(name);
  if (type == "TEXT/HTML" && name.empty())
    name = RemoveForbiddenNameChars(HtmlNameFromSubject(msg.Subject));
  TAttachedFile& item = msg.AttachedFiles.AddFile(name);
  if (encoding == "BASE64" || encoding == "X-UUENCODE") {
    // The caller is done with its lines: they move instead of being copied.
    item.Lines = std::move(lines);
    lines.clear();
    struct TLinesRelease {
      std::vector<std::string>& lines;
      ~TLinesRelease() { std::vector<std::string>().swap(lines); }
    } release{item.Lines};
    if (encoding == "BASE64") {
      DecodeBase64Attachment(item);
    } else {
      DecodeUUAttachment(item);
    }
  } else if (encoding == "QUOTED-PRINTABLE") {
    item.Data = JoinLines(SplitLines(QDecode(JoinLines(lines), false)));
  } else {
    item.Data = JoinLines(lines);
  }
}

std::string TVekParser::Unquote(const std::string& text) {
  std::string result = text;
  auto isQuote = [](char c) { return c == '"' || c == '\''; };
  if (!result.empty() && isQuote(result.front())) result.erase(0, 1);
  if (!result.empty() && isQuote(result.back())) result.pop_back();
  return result;
}

}  // namespace pelnor
