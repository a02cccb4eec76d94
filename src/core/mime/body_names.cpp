#include "core/mime/body_names.h"

#include "core/text/text_util.h"

namespace pelnor {
namespace {

constexpr std::string_view kForbidden = "\\/:*?\"<>|";
constexpr char kEsc = 0x1B;

// Walks `text` one character at a time and calls `visit(pos, len, single)`:
// `single` is true for a one-byte character outside ISO-2022-JP two-byte
// mode, the only kind that can be a delimiter or a forbidden character.
template <typename Visit>
void ForEachChar(std::string_view text, Visit visit) {
  bool jisTwoByte = false;
  std::size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == kEsc && i + 2 < text.size()) {
      const char a = text[i + 1];
      const char b = text[i + 2];
      if (a == '$' && (b == 'B' || b == '@')) jisTwoByte = true;
      if (a == '(' && (b == 'B' || b == 'J' || b == 'I')) jisTwoByte = false;
      visit(i, 3, false);
      i += 3;
    } else if (jisTwoByte && c >= 0x21 && c <= 0x7E && i + 1 < text.size()) {
      visit(i, 2, false);
      i += 2;
    } else if (IsSjisLead(c) && i + 1 < text.size()) {
      visit(i, 2, false);
      i += 2;
    } else {
      visit(i, 1, true);
      i += 1;
    }
  }
}

}  // namespace

std::string RemoveForbiddenNameChars(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  ForEachChar(name, [&](std::size_t pos, std::size_t len, bool single) {
    if (single && kForbidden.find(name[pos]) != std::string_view::npos) return;
    out.append(name.substr(pos, len));
  });
  return out;
}

std::string HtmlNameFromSubject(std::string_view subject) {
  std::size_t last = std::string_view::npos;
  ForEachChar(subject, [&](std::size_t pos, std::size_t, bool single) {
    const char c = subject[pos];
    if (single && (c == '.' || c == '\\' || c == ':')) last = pos;
  });
  std::string name(subject);
  if (last != std::string_view::npos && subject[last] == '.') name.erase(last);
  return name + ".html";
}

}  // namespace pelnor
