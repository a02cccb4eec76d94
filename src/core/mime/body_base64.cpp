#include "core/mime/body_base64.h"

#include <array>
#include <atomic>
#include <bit>
#include <cstring>

#if defined(__x86_64__) && defined(__SSE2__)
#define PELNOR_BASE64_X86 1
#include <immintrin.h>
#endif

namespace pelnor {
namespace {

constexpr std::uint8_t kPad = 64;
constexpr std::uint8_t kSkip = 0xFF;

constexpr int AlphabetValue(unsigned c) {
  if (c >= 'A' && c <= 'Z') return static_cast<int>(c - 'A');
  if (c >= 'a' && c <= 'z') return static_cast<int>(c - 'a' + 26);
  if (c >= '0' && c <= '9') return static_cast<int>(c - '0' + 52);
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

constexpr std::array<std::uint8_t, 256> MakeValues() {
  std::array<std::uint8_t, 256> t{};
  for (unsigned c = 0; c < 256; ++c) {
    const int v = AlphabetValue(c);
    t[c] = v >= 0 ? static_cast<std::uint8_t>(v) : (c == '=' ? kPad : kSkip);
  }
  return t;
}

// One table per position of a group: the value already shifted into place,
// or the top bit set for anything but a plain alphabet character, so four
// lookups and one test decode a whole group on the fast path.
constexpr std::array<std::uint32_t, 256> MakeShifted(int shift) {
  std::array<std::uint32_t, 256> t{};
  for (unsigned c = 0; c < 256; ++c) {
    const int v = AlphabetValue(c);
    t[c] = v >= 0 ? static_cast<std::uint32_t>(v) << shift : 0x80000000u;
  }
  return t;
}

constexpr auto kValues = MakeValues();
constexpr auto kShift18 = MakeShifted(18);
constexpr auto kShift12 = MakeShifted(12);
constexpr auto kShift6 = MakeShifted(6);
constexpr auto kShift0 = MakeShifted(0);

}  // namespace

char* Base64GroupDecoder::EmitGroup(char* out) const {
  // Padding counts as zero bits wherever it stands.
  std::uint32_t bits = 0;
  for (int i = 0; i < 4; ++i)
    bits = (bits << 6) | (values_[i] == kPad ? 0u : values_[i]);
  int bytes = 3;
  if (values_[2] == kPad) {
    bytes = 1;
  } else if (values_[3] == kPad) {
    bytes = 2;
  } else if (values_[0] == kPad) {
    bytes = 0;
  }
  for (int i = 0; i < bytes; ++i)
    *out++ = static_cast<char>(bits >> (16 - 8 * i));
  return out;
}

namespace {

std::uint32_t GroupBits(const unsigned char* p) {
  return kShift18[p[0]] | kShift12[p[1]] | kShift6[p[2]] | kShift0[p[3]];
}

using BlockDecoderFn = const unsigned char* (*)(const unsigned char*, const unsigned char*, char*&);

// A block decoder takes whole blocks of plain alphabet characters from `p`
// on and stops before the first block holding anything else. It writes only
// the bytes it decodes, so it needs no more room than the group-by-group code.
const unsigned char* NoBlocks(const unsigned char* p, const unsigned char*, char*&) {
  return p;
}

#ifdef PELNOR_BASE64_X86

inline __m128i InRange(__m128i x, char lo, char hi) {
  // Bytes from 0x80 up compare as negative and so fall outside every range.
  return _mm_and_si128(_mm_cmpgt_epi8(x, _mm_set1_epi8(static_cast<char>(lo - 1))),
                       _mm_cmpgt_epi8(_mm_set1_epi8(static_cast<char>(hi + 1)), x));
}

// Alphabet values of 16 characters; false if any is not in the alphabet.
inline bool Translate(__m128i x, __m128i& values) {
  const __m128i upper = InRange(x, 'A', 'Z');
  const __m128i lower = InRange(x, 'a', 'z');
  const __m128i digit = InRange(x, '0', '9');
  const __m128i plus = _mm_cmpeq_epi8(x, _mm_set1_epi8('+'));
  const __m128i slash = _mm_cmpeq_epi8(x, _mm_set1_epi8('/'));
  const __m128i valid =
      _mm_or_si128(_mm_or_si128(upper, lower), _mm_or_si128(_mm_or_si128(digit, plus), slash));
  if (_mm_movemask_epi8(valid) != 0xFFFF) return false;
  __m128i offset = _mm_and_si128(upper, _mm_set1_epi8(-'A'));
  offset = _mm_or_si128(offset, _mm_and_si128(lower, _mm_set1_epi8(26 - 'a')));
  offset = _mm_or_si128(offset, _mm_and_si128(digit, _mm_set1_epi8(52 - '0')));
  offset = _mm_or_si128(offset, _mm_and_si128(plus, _mm_set1_epi8(62 - '+')));
  offset = _mm_or_si128(offset, _mm_and_si128(slash, _mm_set1_epi8(63 - '/')));
  values = _mm_add_epi8(x, offset);
  return true;
}

// Decodes the 16 characters at `p` into 12 bytes at `d`; false, with nothing
// written, if any of them is not a plain alphabet character.
inline bool Block16(const unsigned char* p, char* d) {
  __m128i values;
  if (!Translate(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), values)) return false;
  // Per group a, b, c, d (lowest byte first): a << 6 | b and c << 6 | d in
  // 16-bit halves, then the two halves joined into 24 bits.
  const __m128i pairs =
      _mm_or_si128(_mm_and_si128(_mm_slli_epi16(values, 6), _mm_set1_epi16(0x0FC0)),
                   _mm_srli_epi16(values, 8));
  const __m128i groups = _mm_madd_epi16(pairs, _mm_set1_epi32(0x00011000));
  const auto lo = static_cast<std::uint64_t>(_mm_cvtsi128_si64(groups));
  const auto hi = static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(groups, groups)));
  // Bytes 0-5 and 6-11, first byte highest.
  const std::uint64_t first6 = ((lo & 0xFFFFFFFFu) << 24) | (lo >> 32);
  const std::uint64_t last6 = ((hi & 0xFFFFFFFFu) << 24) | (hi >> 32);
  const std::uint64_t head = __builtin_bswap64((first6 << 16) | (last6 >> 32));
  const std::uint32_t tail = __builtin_bswap32(static_cast<std::uint32_t>(last6));
  std::memcpy(d, &head, 8);
  std::memcpy(d + 8, &tail, 4);
  return true;
}

// Without byte shuffles, putting the bytes in order costs about what the
// blocks save: this is for machines without SSSE3, barely ahead of groups.
const unsigned char* Sse2Blocks(const unsigned char* p, const unsigned char* end, char*& dst) {
  char* d = dst;
  while (end - p >= 16) {
    if (!Block16(p, d)) {
      dst = d;
      return p;
    }
    d += 12;
    p += 16;
  }
  dst = d;
  return p;
}

// For each low nibble, bit h set when 0xh0 plus that nibble is in the
// alphabet (h < 8); the byte for high nibble h selects bit h.
constexpr std::array<std::uint8_t, 16> MakeNibbleMask() {
  std::array<std::uint8_t, 16> t{};
  for (unsigned c = 0; c < 128; ++c)
    if (AlphabetValue(c) >= 0) t[c & 15] = static_cast<std::uint8_t>(t[c & 15] | (1u << (c >> 4)));
  return t;
}
constexpr auto kNibbleMask = MakeNibbleMask();

// Block16 with byte shuffles: alphabet check and values by nibble tables.
// The value minus the character goes by high nibble; "/" shares its nibble
// with "+" and is three less.
__attribute__((target("ssse3"))) inline bool ShuffleBlock16(const unsigned char* p, char* d) {
  const __m128i nibble = _mm_set1_epi8(0x0F);
  const __m128i maskLut = _mm_loadu_si128(reinterpret_cast<const __m128i*>(kNibbleMask.data()));
  const __m128i bitLut = _mm_setr_epi8(1, 2, 4, 8, 16, 32, 64, -128, 0, 0, 0, 0, 0, 0, 0, 0);
  const __m128i shiftLut = _mm_setr_epi8(0, 0, 62 - '+', 52 - '0', -'A', -'A', 26 - 'a',
                                         26 - 'a', 0, 0, 0, 0, 0, 0, 0, 0);
  const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i hi = _mm_and_si128(_mm_srli_epi32(x, 4), nibble);
  const __m128i lo = _mm_and_si128(x, nibble);
  const __m128i ok = _mm_and_si128(_mm_shuffle_epi8(maskLut, lo), _mm_shuffle_epi8(bitLut, hi));
  if (_mm_movemask_epi8(_mm_cmpeq_epi8(ok, _mm_setzero_si128())) != 0) return false;
  const __m128i shift = _mm_sub_epi8(
      _mm_shuffle_epi8(shiftLut, hi),
      _mm_and_si128(_mm_cmpeq_epi8(x, _mm_set1_epi8('/')),
                    _mm_set1_epi8(('/' - '+') - (63 - 62))));
  const __m128i values = _mm_add_epi8(x, shift);
  const __m128i pairs = _mm_maddubs_epi16(values, _mm_set1_epi32(0x01400140));
  const __m128i groups = _mm_madd_epi16(pairs, _mm_set1_epi32(0x00011000));
  const __m128i bytes = _mm_shuffle_epi8(
      groups, _mm_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1));
  _mm_storel_epi64(reinterpret_cast<__m128i*>(d), bytes);
  const auto tail = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(bytes, 8)));
  std::memcpy(d + 8, &tail, 4);
  return true;
}

// Fewer than 16 characters are left from `p`: their one to three whole
// groups are decoded as the end of the 16-character block that starts among
// the groups this call has already decoded (from `start` on), whose bytes
// are written again, unchanged. A 76-character line thus needs no group by
// group decoding at all.
__attribute__((target("ssse3"))) inline const unsigned char* Tail16(const unsigned char* start,
                                                                    const unsigned char* p,
                                                                    const unsigned char* end,
                                                                    char*& d) {
  const std::ptrdiff_t groups = (end - p) / 4;
  const std::ptrdiff_t back = 16 - 4 * groups;
  if (groups == 0 || p - start < back) return p;
  if (!ShuffleBlock16(p - back, d - back / 4 * 3)) return p;
  d += 3 * groups;
  return p + 4 * groups;
}

__attribute__((target("ssse3"))) const unsigned char* Ssse3Blocks(const unsigned char* p,
                                                                  const unsigned char* end,
                                                                  char*& dst) {
  const unsigned char* start = p;
  char* d = dst;
  while (end - p >= 16) {
    if (!ShuffleBlock16(p, d)) {
      dst = d;
      return p;
    }
    d += 12;
    p += 16;
  }
  p = Tail16(start, p, end, d);
  dst = d;
  return p;
}

__attribute__((target("avx2"))) const unsigned char* Avx2Blocks(const unsigned char* p,
                                                                const unsigned char* end,
                                                                char*& dst) {
  // The tables of ShuffleBlock16 in both lanes.
  const __m256i nibble = _mm256_set1_epi8(0x0F);
  const __m256i maskLut = _mm256_broadcastsi128_si256(
      _mm_loadu_si128(reinterpret_cast<const __m128i*>(kNibbleMask.data())));
  const __m256i bitLut = _mm256_setr_epi8(1, 2, 4, 8, 16, 32, 64, -128, 0, 0, 0, 0, 0, 0, 0, 0,
                                          1, 2, 4, 8, 16, 32, 64, -128, 0, 0, 0, 0, 0, 0, 0, 0);
  const __m256i shiftLut =
      _mm256_setr_epi8(0, 0, 62 - '+', 52 - '0', -'A', -'A', 26 - 'a', 26 - 'a', 0, 0, 0, 0, 0, 0,
                       0, 0, 0, 0, 62 - '+', 52 - '0', -'A', -'A', 26 - 'a', 26 - 'a', 0, 0, 0, 0,
                       0, 0, 0, 0);
  const __m256i slash = _mm256_set1_epi8('/');
  const __m256i slashFix = _mm256_set1_epi8(('/' - '+') - (63 - 62));
  const __m256i merge1 = _mm256_set1_epi32(0x01400140);
  const __m256i merge2 = _mm256_set1_epi32(0x00011000);
  // Each lane's four groups as twelve bytes in order.
  const __m256i order = _mm256_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1,
                                         2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1);
  // Both lanes' twelve bytes side by side.
  const __m256i join = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 7, 7);
  const unsigned char* start = p;
  char* d = dst;
  while (end - p >= 32) {
    const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    const __m256i hi = _mm256_and_si256(_mm256_srli_epi32(x, 4), nibble);
    const __m256i lo = _mm256_and_si256(x, nibble);
    const __m256i ok = _mm256_and_si256(_mm256_shuffle_epi8(maskLut, lo),
                                        _mm256_shuffle_epi8(bitLut, hi));
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi8(ok, _mm256_setzero_si256())) != 0) break;
    const __m256i shift =
        _mm256_sub_epi8(_mm256_shuffle_epi8(shiftLut, hi),
                        _mm256_and_si256(_mm256_cmpeq_epi8(x, slash), slashFix));
    const __m256i values = _mm256_add_epi8(x, shift);
    const __m256i pairs = _mm256_maddubs_epi16(values, merge1);
    const __m256i groups = _mm256_madd_epi16(pairs, merge2);
    const __m256i bytes = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(groups, order), join);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm256_castsi256_si128(bytes));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(d + 16), _mm256_extracti128_si256(bytes, 1));
    d += 24;
    p += 32;
  }
  // A block with something else in it may still begin with 16 plain ones.
  if (end - p >= 16 && ShuffleBlock16(p, d)) {
    d += 12;
    p += 16;
  }
  if (end - p < 16) p = Tail16(start, p, end, d);
  dst = d;
  return p;
}

#endif  // PELNOR_BASE64_X86

BlockDecoderFn BlockFn(Base64GroupDecoder::EBlockDecoder kind) {
  switch (kind) {
#ifdef PELNOR_BASE64_X86
    case Base64GroupDecoder::EBlockDecoder::Sse2:
      return Sse2Blocks;
    case Base64GroupDecoder::EBlockDecoder::Ssse3:
      return Ssse3Blocks;
    case Base64GroupDecoder::EBlockDecoder::Avx2:
      return Avx2Blocks;
#endif
    default:
      return NoBlocks;
  }
}

const unsigned char* PickBlocks(const unsigned char* p, const unsigned char* end, char*& dst);

// The block decoder in use; starts as one that picks the best on first call.
std::atomic<BlockDecoderFn> gBlocks{PickBlocks};
std::atomic<Base64GroupDecoder::EBlockDecoder> gKind{
    Base64GroupDecoder::EBlockDecoder::Scalar};

const unsigned char* PickBlocks(const unsigned char* p, const unsigned char* end, char*& dst) {
  Base64GroupDecoder::UseBlockDecoder(Base64GroupDecoder::BestBlockDecoder());
  return gBlocks.load(std::memory_order_relaxed)(p, end, dst);
}

// Decodes whole groups of plain alphabet characters from `p` on, stopping
// before the first group with anything else in it: whole blocks first, then
// group by group. While at least one more group follows in the line, a group
// is stored as one 4-byte word (its fourth byte is overwritten by the next
// group): the room MaxOutput gives covers that byte only then.
const unsigned char* DecodePlainGroups(const unsigned char* p, const unsigned char* end,
                                       char*& dst) {
  p = gBlocks.load(std::memory_order_relaxed)(p, end, dst);
  char* d = dst;
  while (end - p >= 8) {
    const std::uint32_t bits = GroupBits(p);
    if (bits & 0x80000000u) break;
    std::uint32_t word = bits << 8;
    if constexpr (std::endian::native == std::endian::little) word = __builtin_bswap32(word);
    std::memcpy(d, &word, 4);
    d += 3;
    p += 4;
  }
  if (end - p >= 4) {
    const std::uint32_t bits = GroupBits(p);
    if (!(bits & 0x80000000u)) {
      d[0] = static_cast<char>(bits >> 16);
      d[1] = static_cast<char>(bits >> 8);
      d[2] = static_cast<char>(bits);
      d += 3;
      p += 4;
    }
  }
  dst = d;
  return p;
}

}  // namespace

bool Base64GroupDecoder::Supports(EBlockDecoder kind) {
  switch (kind) {
    case EBlockDecoder::Scalar:
      return true;
#ifdef PELNOR_BASE64_X86
    case EBlockDecoder::Sse2:
      return true;
    case EBlockDecoder::Ssse3:
      __builtin_cpu_init();
      return __builtin_cpu_supports("ssse3");
    case EBlockDecoder::Avx2:
      __builtin_cpu_init();
      return __builtin_cpu_supports("avx2");
#endif
    default:
      return false;
  }
}

Base64GroupDecoder::EBlockDecoder Base64GroupDecoder::BestBlockDecoder() {
  if (Supports(EBlockDecoder::Avx2)) return EBlockDecoder::Avx2;
  if (Supports(EBlockDecoder::Ssse3)) return EBlockDecoder::Ssse3;
  if (Supports(EBlockDecoder::Sse2)) return EBlockDecoder::Sse2;
  return EBlockDecoder::Scalar;
}

void Base64GroupDecoder::UseBlockDecoder(EBlockDecoder kind) {
  if (!Supports(kind)) kind = EBlockDecoder::Scalar;
  gKind.store(kind, std::memory_order_relaxed);
  gBlocks.store(BlockFn(kind), std::memory_order_relaxed);
}

Base64GroupDecoder::EBlockDecoder Base64GroupDecoder::CurrentBlockDecoder() {
  if (gBlocks.load(std::memory_order_relaxed) == PickBlocks) UseBlockDecoder(BestBlockDecoder());
  return gKind.load(std::memory_order_relaxed);
}

std::size_t Base64GroupDecoder::DecodeLine(std::string_view line, char* out,
                                            std::size_t& groups) {
  const auto* p = reinterpret_cast<const unsigned char*>(line.data());
  const auto* end = p + line.size();
  char* dst = out;
  groups = 0;
  while (p < end) {
    if (count_ == 0) {
      const auto* from = p;
      p = DecodePlainGroups(p, end, dst);
      groups += static_cast<std::size_t>(p - from) / 4;
      if (p == end) break;
      // The group at p holds something else: decoded value by value below.
    }
    const std::uint8_t v = kValues[*p++];
    if (v == kSkip) continue;
    values_[count_++] = v;
    if (count_ == 4) {
      dst = EmitGroup(dst);
      count_ = 0;
      ++groups;
    }
  }
  return static_cast<std::size_t>(dst - out);
}

}  // namespace pelnor
