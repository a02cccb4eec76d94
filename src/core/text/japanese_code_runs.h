#pragma once

// The two inner loops of JIS to Shift_JIS conversion, 16 bytes at a time
// where SSE2 is available. Both stop at an ESC (for the pair loop: an ESC
// where a pair would start) or at the end, and return the new input index.
// Output never runs ahead of input here, so a buffer as long as the input
// (plus one byte for a lone last byte) is enough for the 16-byte stores.

#include <cstddef>
#include <cstring>

#include "core/text/japanese_code.h"
#include "core/text/japanese_code_escape.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pelnor::jis {

// Copies single-byte text up to the next ESC.
inline std::size_t CopySingleByteRun(const unsigned char* in, std::size_t n,
                                     std::size_t i, unsigned char*& out) {
#if defined(__SSE2__)
  const __m128i esc = _mm_set1_epi8(static_cast<char>(kEsc));
  while (i + 16 <= n) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), v);
    const unsigned found = _mm_movemask_epi8(_mm_cmpeq_epi8(v, esc));
    if (found != 0) {
      const unsigned k = __builtin_ctz(found);
      out += k;
      return i + k;
    }
    i += 16;
    out += 16;
  }
#endif
  const std::size_t run = SingleByteRun(in + i, n - i);
  std::memcpy(out, in + i, run);
  out += run;
  return i + run;
}

#if defined(__SSE2__)
// Eight JIS pairs to Shift_JIS in 16-bit lanes (first byte low), the same
// sums as JisPairToSjis.
inline __m128i JisPairsToSjis(__m128i v) {
  const __m128i lowByte = _mm_set1_epi16(0x00FF);
  const __m128i j1 = _mm_and_si128(v, lowByte);
  const __m128i j2 = _mm_srli_epi16(v, 8);
  // first = ((j1 + 1) >> 1) + (j1 < 0x5F ? 0x70 : 0xB0)
  const __m128i lowRows = _mm_cmplt_epi16(j1, _mm_set1_epi16(0x5F));
  const __m128i rowBase = _mm_sub_epi16(_mm_set1_epi16(0xB0),
                                        _mm_and_si128(lowRows, _mm_set1_epi16(0x40)));
  const __m128i first = _mm_add_epi16(
      _mm_srli_epi16(_mm_add_epi16(j1, _mm_set1_epi16(1)), 1), rowBase);
  // second = j2 + (j1 even ? 0x7E : j2 > 0x5F ? 0x20 : 0x1F)
  const __m128i odd = _mm_cmpeq_epi16(_mm_and_si128(j1, _mm_set1_epi16(1)),
                                      _mm_set1_epi16(1));
  const __m128i oddStep = _mm_sub_epi16(_mm_set1_epi16(0x1F),
                                        _mm_cmpgt_epi16(j2, _mm_set1_epi16(0x5F)));
  const __m128i step = _mm_or_si128(_mm_and_si128(odd, oddStep),
                                    _mm_andnot_si128(odd, _mm_set1_epi16(0x7E)));
  const __m128i second = _mm_add_epi16(j2, step);
  return _mm_or_si128(_mm_and_si128(first, lowByte),
                      _mm_slli_epi16(second, 8));
}
#endif

// Converts pairs in two-byte mode up to an ESC at the start of a pair. A
// lone last byte is paired with 0.
inline std::size_t ConvertTwoByteRun(const unsigned char* in, std::size_t n,
                                     std::size_t i, unsigned char*& out) {
#if defined(__SSE2__)
  const __m128i esc = _mm_set1_epi8(static_cast<char>(kEsc));
  while (i + 16 <= n) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    // The whole block is converted; pairs after an ESC are written but not
    // kept, the output pointer stops at the ESC.
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), JisPairsToSjis(v));
    constexpr unsigned kFirstBytes = 0x5555;  // bit k: byte k of the block
    const unsigned found = _mm_movemask_epi8(_mm_cmpeq_epi8(v, esc)) & kFirstBytes;
    if (found != 0) {
      const unsigned k = __builtin_ctz(found);
      out += k;
      return i + k;
    }
    i += 16;
    out += 16;
  }
#endif
  while (i < n && in[i] != kEsc) {
    const BytePair s = JisPairToSjis(in[i], i + 1 < n ? in[i + 1] : 0);
    out[0] = s.first;
    out[1] = s.second;
    out += 2;
    i += 2;
  }
  return i < n ? i : n;
}

}  // namespace pelnor::jis
