#pragma once

// MIME structure helpers behind MailParser's body routines.

#include <string>
#include <string_view>
#include <vector>

namespace pelnor {

// Deepest nesting of multiparts and embedded messages that is taken apart;
// anything deeper is kept as text. Real mail stays far below; the limit
// keeps hostile mail from exhausting the stack.
constexpr int kMaxMimeDepth = 32;

// True when every byte of `line` is a blank or control character.
bool IsBlankLine(std::string_view line);

// True for a "begin <mode> <name>" line (see MailParser::FindUUBegin);
// `name` receives up to 64 characters from the eleventh on.
bool IsUUBeginLine(std::string_view line, std::string& name);

// A run of lines, [begin, end) of some line list.
struct LineRange {
  std::size_t begin = 0;
  std::size_t end = 0;
};

// The lines from range.begin up to, not including, the first empty line:
// all that FindHeader reads of the part.
std::vector<std::string> HeaderBlock(const std::vector<std::string>& lines, LineRange range);

// Where the part's body starts once StripHeader would have deleted its
// header and the blank lines after it.
std::size_t BodyStart(const std::vector<std::string>& lines, LineRange range);

// MailParser::SplitMultipart for lines[range], `depth` levels down: appends
// the leaf parts as ranges of `lines`, so no line is moved or copied.
void CollectLeafParts(const std::vector<std::string>& lines, LineRange range,
                      std::vector<LineRange>& leaves, int depth);

}  // namespace pelnor
