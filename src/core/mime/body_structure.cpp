// Header stripping, multipart splitting and uuencode begin lines. Parts are
// found as ranges of the mail's lines and headers are deleted in one range,
// never a line at a time from the front, so a large mail costs linear time.

#include "core/mime/body_structure.h"

#include <algorithm>
#include <iterator>

#include "core/mime/mail_parser.h"
#include "core/mime/header_fields.h"
#include "core/text/integer.h"
#include "core/text/text_util.h"

namespace pelnor {

bool IsBlankLine(std::string_view line) {
  return std::all_of(line.begin(), line.end(),
                     [](char c) { return static_cast<unsigned char>(c) <= 32; });
}

namespace {

bool StartsWithBegin(std::string_view line) {
  constexpr std::string_view kBegin = "begin";
  if (line.size() < kBegin.size()) return false;
  for (std::size_t i = 0; i < kBegin.size(); ++i) {
    char c = line[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != kBegin[i]) return false;
  }
  return true;
}

}  // namespace

bool IsUUBeginLine(std::string_view line, std::string& name) {
  if (line.size() <= 10 || !StartsWithBegin(line)) return false;
  // 0 when the three characters hold no number.
  const int mode = ParseInteger(line.substr(6, 3), kNumberAfterSpaces).value_or(0);
  if (mode <= 0 || mode >= 777) return false;
  name.assign(line.substr(10, 64));
  return true;
}

std::vector<std::string> HeaderBlock(const std::vector<std::string>& lines, LineRange range) {
  std::size_t end = range.begin;
  while (end < range.end && !lines[end].empty()) ++end;
  return std::vector<std::string>(lines.begin() + static_cast<std::ptrdiff_t>(range.begin),
                                  lines.begin() + static_cast<std::ptrdiff_t>(end));
}

std::size_t BodyStart(const std::vector<std::string>& lines, LineRange range) {
  std::size_t i = range.begin;
  while (i < range.end && !IsBlankLine(lines[i])) ++i;
  while (i < range.end && IsBlankLine(lines[i])) ++i;
  return i;
}

void CollectLeafParts(const std::vector<std::string>& lines, LineRange range,
                      std::vector<LineRange>& leaves, int depth) {
  const auto contentType = FindHeader("CONTENT-TYPE:", HeaderBlock(lines, range));
  if (!contentType || depth >= kMaxMimeDepth ||
      UpperCase(*contentType).find("MULTIPART") == std::string::npos) {
    // An empty part yields nothing, so it is not kept at all.
    if (range.end > range.begin) leaves.push_back(range);
    return;
  }
  const std::string delimiter = MailParser::ExtractBoundary(*contentType);
  // Without a boundary no line is a delimiter ("--" alone would match a
  // plain line of two dashes): the body has no parts.
  if (delimiter.size() <= 2) return;
  const std::string closing = delimiter + "--";

  // The header and the preamble go.
  std::size_t i = BodyStart(lines, range);
  while (i < range.end && lines[i] != delimiter) ++i;
  // Every line after a delimiter is tested, also the one right after it:
  // two delimiters in a row enclose an empty part, not a delimiter line.
  while (i < range.end && lines[i] != closing) {
    const std::size_t first = ++i;
    while (i < range.end && lines[i] != delimiter && lines[i] != closing) ++i;
    CollectLeafParts(lines, {first, i}, leaves, depth + 1);
  }
}

void MailParser::StripHeader(std::vector<std::string>& lines) {
  auto it = std::find_if(lines.begin(), lines.end(), IsBlankLine);
  it = std::find_if_not(it, lines.end(), IsBlankLine);
  lines.erase(lines.begin(), it);
}

std::string MailParser::ExtractBoundary(const std::string& contentTypeLine) {
  const std::size_t at = UpperCase(contentTypeLine).find("BOUNDARY");
  if (at == std::string::npos) return "--";
  std::string value = Trim(std::string_view(contentTypeLine).substr(at + 8, 72));
  if (!value.empty()) value.erase(0, 1);  // the "="
  value = Trim(value);
  if (!value.empty() && value[0] == '"') {
    value.erase(0, 1);
    const std::size_t quote = value.find('"');
    if (quote != std::string::npos) value.erase(quote);
  }
  const std::size_t semicolon = value.find(';');
  if (semicolon != std::string::npos) value.erase(semicolon);
  return "--" + Trim(value);
}

void MailParser::SplitMultipart(std::vector<std::string> lines,
                                std::vector<std::vector<std::string>>& parts) {
  std::vector<LineRange> leaves;
  CollectLeafParts(lines, {0, lines.size()}, leaves, 0);
  for (const LineRange& leaf : leaves) {
    parts.emplace_back(
        std::make_move_iterator(lines.begin() + static_cast<std::ptrdiff_t>(leaf.begin)),
        std::make_move_iterator(lines.begin() + static_cast<std::ptrdiff_t>(leaf.end)));
  }
}

bool MailParser::FindUUBegin(const std::vector<std::string>& lines,
                             std::size_t& index, std::string& name) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (IsUUBeginLine(lines[i], name)) {
      index = i;
      return true;
    }
  }
  return false;
}

}  // namespace pelnor
