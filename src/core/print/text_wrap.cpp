#include "core/print/text_wrap.h"

namespace pelnor {

std::vector<std::size_t> SjisCharEnds(std::string_view text) {
  std::vector<std::size_t> ends;
  ends.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    bool pair = IsSjisLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size();
    i += pair ? 2 : 1;
    ends.push_back(i);
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
  std::vector<std::size_t> ends = SjisCharEnds(text);
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
