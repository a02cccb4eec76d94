#pragma once

// Walking a text line by line at CR LF, a lone CR or a lone LF, the line
// ends found 16 bytes at a time where SSE2 is available. Shared by the line
// splitters so that they can count the lines first and allocate once.

#include <cstddef>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pelnor {

// The first CR or LF in [p, end), or `end`.
inline const char* FindLineBreak(const char* p, const char* end) {
#if defined(__SSE2__)
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  while (end - p >= 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const int mask =
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)));
    if (mask != 0) return p + __builtin_ctz(static_cast<unsigned>(mask));
    p += 16;
  }
#endif
  while (p < end && *p != '\r' && *p != '\n') ++p;
  return p;
}

// Calls `line(begin, end)` for every line of [p, end), line ends excluded.
// A final line break does not start another (empty) line.
template <typename Line>
void ForEachLine(const char* p, const char* end, Line&& line) {
  while (p < end) {
    const char* brk = FindLineBreak(p, end);
    line(p, brk);
    if (brk == end) return;
    p = brk + ((*brk == '\r' && brk + 1 < end && brk[1] == '\n') ? 2 : 1);
  }
}

inline std::size_t CountLines(const char* p, const char* end) {
  std::size_t count = 0;
  ForEachLine(p, end, [&count](const char*, const char*) { ++count; });
  return count;
}

}  // namespace pelnor
