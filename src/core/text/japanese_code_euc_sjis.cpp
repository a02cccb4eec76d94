#include "core/text/japanese_code.h"

namespace pelnor {
namespace {

constexpr unsigned char kSingleShift = 0x8E;

unsigned char ByteAt(std::string_view text, std::size_t i) {
  return i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
}

void AppendPair(std::string& out, BytePair pair) {
  out.push_back(static_cast<char>(pair.first));
  out.push_back(static_cast<char>(pair.second));
}

}  // namespace

std::string EucToSjis(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 1);
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = ByteAt(text, i);
    if (c <= 0x80 || c == 0xFF) {
      out.push_back(static_cast<char>(c));
      ++i;
    } else if (c == kSingleShift) {
      // Half-width katakana have the same byte in Shift_JIS. A prefix with
      // nothing after it is passed through rather than dropped.
      out.push_back(static_cast<char>(i + 1 < text.size() ? text[i + 1] : c));
      i += 2;
    } else {
      // 0x8F (three-byte EUC-JP) is not special: it is a pair like any other.
      AppendPair(out, JisPairToSjis(c & 0x7F, ByteAt(text, i + 1) & 0x7F));
      i += 2;
    }
  }
  return out;
}

std::string SjisToEuc(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 4 + 2);
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = ByteAt(text, i);
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
      ++i;
    } else if (c >= 0xA1 && c <= 0xDF) {
      out.push_back(static_cast<char>(kSingleShift));
      out.push_back(static_cast<char>(c));
      ++i;
    } else {
      const BytePair jis = SjisPairToJis(c, ByteAt(text, i + 1));
      AppendPair(out, {static_cast<unsigned char>(jis.first | 0x80),
                       static_cast<unsigned char>(jis.second | 0x80)});
      i += 2;
    }
  }
  return out;
}

}  // namespace pelnor
