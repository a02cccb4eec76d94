// Encoded words of header fields ("=?charset?Q?...?=", "=?charset?B?...?=")
// and the Q / B decoders they use.
//
// The replacement loops below rewrite the remaining input in place: a
// decoded word is never longer than the word it replaces, so it is written
// back just before the text that follows the word and scanned again from
// there. That gives the same result as rescanning the whole text after each
// word, in linear time.

#include "core/mime/encoded_words.h"
#include "core/text/text_util.h"

#include "core/text/japanese_code.h"
#include "core/text/text_decode.h"

namespace pelnor {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

int Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '=') return 0;  // padding
  return 63;  // "/" and, leniently, anything else
}

char ToUpper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 32) : c; }

// Case-insensitive search for an upper-case ASCII `needle`.
std::size_t FindNoCase(std::string_view hay, std::string_view needle, std::size_t from) {
  if (needle.size() > hay.size()) return std::string_view::npos;
  for (std::size_t i = from; i + needle.size() <= hay.size(); ++i) {
    std::size_t k = 0;
    while (k < needle.size() && ToUpper(hay[i + k]) == needle[k]) ++k;
    if (k == needle.size()) return i;
  }
  return std::string_view::npos;
}

// Puts `head` + `body` into `buf` so that it ends at `end`, and returns where
// it starts. Falls back to rebuilding the buffer when it does not fit (it
// always fits for well-behaved converters; this keeps us safe regardless).
std::size_t PutBack(std::string& buf, std::size_t end, std::string_view head,
                    std::string_view body) {
  const std::size_t len = head.size() + body.size();
  if (len <= end) {
    const std::size_t start = end - len;
    buf.replace(start, head.size(), head);
    buf.replace(start + head.size(), body.size(), body);
    return start;
  }
  buf = std::string(head) + std::string(body) + buf.substr(end);
  return 0;
}

// The charset of a word, less an RFC 2231 language ("UTF-8*ja").
std::string_view WordCharset(std::string_view charset) {
  return charset.substr(0, charset.find('*'));
}

std::string DecodeWord(char letter, std::string_view charset, std::string_view encoded) {
  const std::string bytes = letter == 'Q' ? QDecode(encoded, true) : BDecode(encoded);
  return TrimRight(DecodeText(bytes, WordCharset(charset)));
}

}  // namespace

std::string QDecode(std::string_view text, bool underscoreAsBlank) {
  std::string out;
  out.reserve(text.size());
  const std::size_t n = text.size();
  for (std::size_t i = 0; i < n && text[i] != '\0'; ++i) {
    const char c = text[i];
    if (c == '_' && underscoreAsBlank) {
      out += ' ';
    } else if (c != '=') {
      out += c;
    } else if (i + 2 >= n) {
      break;  // "=" cut off at the end: the rest is dropped
    } else if (text[i + 1] == '\r' || text[i + 1] == '\n') {
      // Soft line break. Only "=" CR LF swallows two characters; a lone CR
      // or LF must not take the first character of the next line with it.
      i += (text[i + 1] == '\r' && text[i + 2] == '\n') ? 2 : 1;
    } else {
      const int hi = HexValue(text[i + 1]);
      const int lo = HexValue(text[i + 2]);
      out += (hi < 0 || lo < 0) ? '@' : static_cast<char>(hi * 16 + lo);
      i += 2;
    }
  }
  return out;
}

std::string BDecode(std::string_view text) {
  std::string out;
  out.reserve(text.size() / 4 * 3 + 3);
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  while (true) {
    char group[4];
    int got = 0;
    while (got < 4 && i < text.size()) {
      const char c = text[i++];
      if (c == '\r' || c == '\n') continue;
      group[got++] = c;
    }
    if (got < 4 || group[0] == ' ') break;
    const int v0 = Base64Value(group[0]);
    const int v1 = Base64Value(group[1]);
    const int v2 = group[2] == '=' ? 0 : Base64Value(group[2]);
    const int v3 = group[3] == '=' ? 0 : Base64Value(group[3]);
    const unsigned bits = (v0 << 18) | (v1 << 12) | (v2 << 6) | v3;
    out += static_cast<char>(bits >> 16);
    if (group[2] == '=') continue;
    out += static_cast<char>((bits >> 8) & 0xFF);
    if (group[3] == '=') continue;
    out += static_cast<char>(bits & 0xFF);
  }
  return out;
}

std::string DecodeWords(std::string_view text) {
  // Raw 8-bit or ISO-2022-JP text around the words first: the words
  // themselves are ASCII and come through that untouched.
  std::string buf = DecodeUnlabelledText(text);
  std::string out;
  out.reserve(text.size());
  std::size_t r = 0;  // start of the text not yet committed to `out`
  while (true) {
    const std::size_t p = buf.find("=?", r);
    if (p == std::string::npos) break;
    const std::size_t q = buf.find('?', p + 2);
    if (q == std::string::npos) break;
    const char letter = q + 1 < buf.size() ? ToUpper(buf[q + 1]) : '\0';
    const std::size_t start = std::min(q + 3, buf.size());
    const std::size_t e = buf.find("?=", start);
    if (e == std::string::npos) break;
    const std::size_t wordEnd = e + 2;
    if (letter != 'Q' && letter != 'B') {
      // Not a word we can decode: keep it as it stands and look further on.
      out.append(buf, r, wordEnd - r);
      r = wordEnd;
      continue;
    }
    const std::string decoded =
        DecodeWord(letter, std::string_view(buf).substr(p + 2, q - p - 2),
                   std::string_view(buf).substr(start, e - start));
    // The last character before the word may pair with the decoded text to
    // form a new "=?", so it goes back into the text still to be scanned.
    std::string head;
    if (p > r) {
      out.append(buf, r, p - r - 1);
      head = buf.substr(p - 1, 1);
    }
    r = PutBack(buf, wordEnd, head, decoded);
  }
  out.append(buf, r, std::string::npos);
  return out;
}

std::string DecodeJisBWords(std::string_view text) {
  static constexpr std::string_view kPrefix = "=?ISO-2022-JP?B?";
  static constexpr std::string_view kLeaveJis = "\x1b(J";
  std::string buf(text);
  std::string out;
  out.reserve(text.size());
  std::size_t r = 0;
  while (true) {
    const std::size_t a = FindNoCase(buf, kPrefix, r);
    if (a == std::string::npos) break;
    // A new prefix may start up to 15 characters before `a` once the word is
    // replaced; keep those in the text still to be scanned.
    const std::size_t keep = std::min(a - r, kPrefix.size() - 1);
    out.append(buf, r, a - r - keep);
    const std::string head = buf.substr(a - keep, keep);
    const std::size_t b = a + kPrefix.size();
    const std::size_t e = buf.find("?=", b);
    if (e == std::string::npos) {
      r = PutBack(buf, b, head, {});
      continue;
    }
    std::string decoded = Base64DecodeText(std::string_view(buf).substr(b, e - b));
    decoded += kLeaveJis;
    r = PutBack(buf, e + 2, head, decoded);
  }
  out.append(buf, r, std::string::npos);
  return out;
}

}  // namespace pelnor
