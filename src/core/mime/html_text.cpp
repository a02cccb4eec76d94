#include "core/mime/html_text.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <map>
#include <utility>

#include "core/text/text_util.h"
#include "core/text/utf8.h"

namespace pelnor {
namespace {

bool IsHtmlBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Elements whose content is not shown.
bool IsHiddenElement(std::string_view name) {
  return name == "script" || name == "style" || name == "head" || name == "title";
}

bool IsBlockElement(std::string_view name) {
  static constexpr std::array<std::string_view, 30> kBlocks = {
      "address", "article", "aside", "blockquote", "caption", "center", "dd", "div",
      "dl", "dt", "fieldset", "figure", "footer", "form", "h1", "h2", "h3", "h4", "h5",
      "h6", "header", "hr", "li", "ol", "p", "pre", "section", "table", "tr", "ul"};
  return std::find(kBlocks.begin(), kBlocks.end(), name) != kBlocks.end();
}

struct NamedEntity {
  std::string_view name;
  char32_t codePoint;
};

// The references mailers write; others stay as written.
constexpr std::array kEntities = {
    NamedEntity{"amp", '&'},      NamedEntity{"lt", '<'},        NamedEntity{"gt", '>'},
    NamedEntity{"quot", '"'},     NamedEntity{"apos", '\''},     NamedEntity{"nbsp", ' '},
    NamedEntity{"copy", 0xA9},    NamedEntity{"reg", 0xAE},      NamedEntity{"trade", 0x2122},
    NamedEntity{"yen", 0xA5},     NamedEntity{"euro", 0x20AC},   NamedEntity{"pound", 0xA3},
    NamedEntity{"cent", 0xA2},    NamedEntity{"sect", 0xA7},     NamedEntity{"deg", 0xB0},
    NamedEntity{"plusmn", 0xB1},  NamedEntity{"times", 0xD7},    NamedEntity{"divide", 0xF7},
    NamedEntity{"middot", 0xB7},  NamedEntity{"laquo", 0xAB},    NamedEntity{"raquo", 0xBB},
    NamedEntity{"hellip", 0x2026}, NamedEntity{"mdash", 0x2014}, NamedEntity{"ndash", 0x2013},
    NamedEntity{"lsquo", 0x2018}, NamedEntity{"rsquo", 0x2019},  NamedEntity{"ldquo", 0x201C},
    NamedEntity{"rdquo", 0x201D}, NamedEntity{"bull", 0x2022},   NamedEntity{"larr", 0x2190},
    NamedEntity{"rarr", 0x2192},  NamedEntity{"uarr", 0x2191},   NamedEntity{"darr", 0x2193},
};

// Builds the lines: blanks collapsed, breaks never doubled by blocks.
class TextLines {
 public:
  void Text(std::string_view text, bool preformatted) {
    for (char c : text) {
      if (preformatted) {
        if (c == '\r') continue;
        if (c == '\n') {
          Break();
        } else {
          line_ += c;
        }
      } else if (IsHtmlBlank(c)) {
        pendingBlank_ = !line_.empty();
      } else {
        Char(c);
      }
    }
  }
  void Char(char c) {
    if (pendingBlank_) line_ += ' ';
    pendingBlank_ = false;
    line_ += c;
  }
  void CodePoint(char32_t cp) {
    std::string utf8;
    AppendUtf8(utf8, cp);
    for (char c : utf8) Char(c);
  }
  void Break() {
    lines_.push_back(TrimRight(line_));
    line_.clear();
    pendingBlank_ = false;
  }
  void EndBlock() {
    if (!line_.empty()) Break();
  }
  std::vector<std::string> Finish() {
    EndBlock();
    while (!lines_.empty() && lines_.back().empty()) lines_.pop_back();
    const auto first = std::find_if(lines_.begin(), lines_.end(),
                                    [](const std::string& l) { return !l.empty(); });
    lines_.erase(lines_.begin(), first);
    return std::move(lines_);
  }

 private:
  std::vector<std::string> lines_;
  std::string line_;
  bool pendingBlank_ = false;
};

// A character reference at `html[i]` ("&"): its code point and length, or
// length 0 when it is none.
std::pair<char32_t, std::size_t> ReadReference(std::string_view html, std::size_t i) {
  const std::size_t semi = html.find(';', i);
  if (semi == std::string_view::npos || semi - i > 12) return {0, 0};
  const std::string_view body = html.substr(i + 1, semi - i - 1);
  if (body.size() >= 2 && body[0] == '#') {
    const bool hex = body[1] == 'x' || body[1] == 'X';
    const std::string_view digits = body.substr(hex ? 2 : 1);
    if (digits.empty()) return {0, 0};
    char32_t cp = 0;
    for (char c : digits) {
      const int v = c >= '0' && c <= '9'                 ? c - '0'
                    : hex && c >= 'a' && c <= 'f'        ? c - 'a' + 10
                    : hex && c >= 'A' && c <= 'F'        ? c - 'A' + 10
                                                         : -1;
      if (v < 0) return {0, 0};
      cp = cp * (hex ? 16 : 10) + v;
      if (cp > 0x10FFFF) cp = 0x110000;
    }
    const bool valid = cp != 0 && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
    return {valid ? cp : 0xFFFD, semi - i + 1};
  }
  for (const NamedEntity& e : kEntities)
    if (e.name == body) return {e.codePoint, semi - i + 1};
  return {0, 0};
}

struct Tag {
  std::string name;  // lower case, without the "/"
  bool closing = false;
  std::size_t end = 0;  // just after the ">"
};

Tag ReadTag(std::string_view html, std::size_t i) {
  Tag tag;
  std::size_t k = i + 1;
  if (k < html.size() && html[k] == '/') {
    tag.closing = true;
    ++k;
  }
  while (k < html.size() && IsNameChar(html[k])) tag.name += static_cast<char>(std::tolower(html[k++]));
  // Quoted attribute values may hold ">".
  char quote = 0;
  for (; k < html.size(); ++k) {
    if (quote) {
      if (html[k] == quote) quote = 0;
    } else if (html[k] == '"' || html[k] == '\'') {
      quote = html[k];
    } else if (html[k] == '>') {
      break;
    }
  }
  tag.end = std::min(k + 1, html.size());
  return tag;
}

bool StartsWithNoCase(std::string_view text, std::size_t at, std::string_view lowerWord) {
  if (text.size() - at < lowerWord.size()) return false;
  for (std::size_t k = 0; k < lowerWord.size(); ++k)
    if (std::tolower(static_cast<unsigned char>(text[at + k])) != lowerWord[k]) return false;
  return true;
}

// Where the content of a hidden element ends: after its closing tag. An
// element that is never closed hides nothing: its text is shown rather
// than lose the mail. Each search remembers how far it found no closing
// tag, so unclosed elements cannot make the reading quadratic.
class HiddenContent {
 public:
  std::size_t End(std::string_view html, std::size_t from, const std::string& name) {
    std::size_t& searched = noCloseFrom_[name];
    if (searched != 0 && from >= searched) return from;
    const std::string close = "</" + name;
    for (std::size_t at = html.find('<', from); at != std::string_view::npos;
         at = html.find('<', at + 1)) {
      if (!StartsWithNoCase(html, at, close)) continue;
      if (at + close.size() < html.size() && IsNameChar(html[at + close.size()])) continue;
      const std::size_t gt = html.find('>', at);
      return gt == std::string_view::npos ? html.size() : gt + 1;
    }
    searched = std::max<std::size_t>(from, 1);
    return from;
  }

 private:
  std::map<std::string, std::size_t> noCloseFrom_;
};

}  // namespace

std::vector<std::string> HtmlToTextLines(std::string_view html) {
  TextLines out;
  HiddenContent hidden;
  bool preformatted = false;
  std::size_t i = 0;
  while (i < html.size()) {
    const char c = html[i];
    if (c == '<' && html.compare(i, 4, "<!--") == 0) {
      const std::size_t end = html.find("-->", i + 4);
      i = end == std::string_view::npos ? html.size() : end + 3;
    } else if (c == '<' && i + 1 < html.size() &&
               (IsNameChar(html[i + 1]) || html[i + 1] == '/' || html[i + 1] == '!' ||
                html[i + 1] == '?')) {
      const Tag tag = ReadTag(html, i);
      i = tag.end;
      if (tag.name == "br") {
        out.Break();
      } else if (IsBlockElement(tag.name)) {
        out.EndBlock();
        if (tag.name == "pre") preformatted = !tag.closing;
      } else if (!tag.closing && IsHiddenElement(tag.name)) {
        i = hidden.End(html, i, tag.name);
      }
    } else if (c == '&') {
      const auto [cp, length] = ReadReference(html, i);
      if (length == 0) {
        out.Char(c);
        ++i;
      } else {
        out.CodePoint(cp);
        i += length;
      }
    } else {
      // From the next character: a "<" that opens no tag is text too.
      const std::size_t next = std::min(html.find_first_of("<&", i + 1), html.size());
      out.Text(html.substr(i, next - i), preformatted);
      i = next;
    }
  }
  return out.Finish();
}

std::string HtmlMetaCharset(std::string_view html) {
  const std::string head = LowerCase(html.substr(0, 4096));
  std::size_t at = head.find("<meta");
  while (at != std::string::npos) {
    const std::size_t end = head.find('>', at);
    const std::size_t key = head.find("charset", at);
    if (key != std::string::npos && key < end) {
      std::size_t k = key + 7;
      while (k < head.size() && (IsHtmlBlank(head[k]) || head[k] == '=' || head[k] == '"' ||
                                 head[k] == '\''))
        ++k;
      std::string name;
      while (k < head.size() && (IsNameChar(head[k]) || head[k] == '-' || head[k] == '_'))
        name += head[k++];
      if (!name.empty()) return name;
    }
    at = head.find("<meta", at + 5);
  }
  return {};
}

}  // namespace pelnor
