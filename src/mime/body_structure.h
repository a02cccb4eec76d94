#pragma once

// MIME structure helpers behind TVekParser's body routines.

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

// True for a "begin <mode> <name>" line (see TVekParser::FindUUBegin);
// `name` receives up to 64 characters from the eleventh on.
bool IsUUBeginLine(std::string_view line, std::string& name);

// TVekParser::SplitMultipart for a part found `depth` levels down.
void SplitMultipartAt(std::vector<std::string> lines,
                      std::vector<std::vector<std::string>>& parts, int depth);

}  // namespace pelnor
