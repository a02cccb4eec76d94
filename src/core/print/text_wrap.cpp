#include "core/print/text_wrap.h"

#include "core/text/utf8.h"

namespace pelnor {
namespace {

constexpr char32_t kZeroWidthJoiner = 0x200D;

// Code points that are drawn together with the one before them.
bool JoinsPrevious(char32_t cp) {
  return (cp >= 0x0300 && cp <= 0x036F) ||    // combining diacritics
         (cp >= 0x1AB0 && cp <= 0x1AFF) || (cp >= 0x1DC0 && cp <= 0x1DFF) ||
         (cp >= 0x20D0 && cp <= 0x20FF) ||    // combining marks for symbols (keycaps)
         cp == 0x3099 || cp == 0x309A ||      // combining kana voicing marks
         (cp >= 0xFE00 && cp <= 0xFE0F) ||    // variation selectors
         (cp >= 0xE0100 && cp <= 0xE01EF) ||  // ideographic variation selectors
         (cp >= 0x1F3FB && cp <= 0x1F3FF) ||  // emoji skin tones
         (cp >= 0xE0020 && cp <= 0xE007F) ||  // emoji tag sequences (flags)
         cp == kZeroWidthJoiner;
}

}  // namespace

std::vector<std::size_t> CharEnds(std::string_view text) {
  std::vector<std::size_t> ends;
  ends.reserve(text.size());
  bool joinNext = false;  // the last code point was a zero-width joiner
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t length = Utf8CharLength(text.substr(i));
    if (length == 0) {
      ends.push_back(++i);
      joinNext = false;
      continue;
    }
    const char32_t cp = Utf8Decode(text.data() + i, length);
    i += length;
    if (!ends.empty() && (joinNext || JoinsPrevious(cp))) {
      ends.back() = i;
    } else {
      ends.push_back(i);
    }
    joinNext = cp == kZeroWidthJoiner;
  }
  return ends;
}

namespace {

// Number of characters, counted from `first`, that the next piece takes.
std::size_t PieceLength(std::string_view text, const std::vector<std::size_t>& ends,
                        std::size_t first, int width, const TextMeasure& measure) {
  std::size_t start = first == 0 ? 0 : ends[first - 1];
  std::size_t left = ends.size() - first;
  auto fits = [&](std::size_t chars) {
    return measure(text.substr(start, ends[first + chars - 1] - start)) <= width;
  };
  if (!fits(1)) return 1;
  // Gallop: double until a candidate no longer fits (or the text ends).
  std::size_t good = 1;
  std::size_t bad = 2;
  while (bad <= left && fits(bad)) {
    good = bad;
    bad *= 2;
  }
  if (bad > left) {
    if (good == left || fits(left)) return left;
    bad = left;
  }
  // Binary search: `good` fits, `bad` does not.
  while (bad - good > 1) {
    std::size_t mid = good + (bad - good) / 2;
    (fits(mid) ? good : bad) = mid;
  }
  return good;
}

}  // namespace

std::vector<std::string_view> WrapText(std::string_view text, int width,
                                       const TextMeasure& measure) {
  if (text.empty()) return {text};
  std::vector<std::size_t> ends = CharEnds(text);
  std::vector<std::string_view> pieces;
  std::size_t first = 0;
  while (first < ends.size()) {
    std::size_t count = PieceLength(text, ends, first, width, measure);
    std::size_t start = first == 0 ? 0 : ends[first - 1];
    pieces.push_back(text.substr(start, ends[first + count - 1] - start));
    first += count;
  }
  return pieces;
}

}  // namespace pelnor
