// JisToSjis works on 16-byte blocks where it can. These tests hold it to a
// plain byte-by-byte reading of the same rules, with escapes, line ends and
// text ends falling at every offset of a block.

#include "core/text/japanese_code.h"
#include "jis_reference.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace pelnor {
namespace {

class JisNoise {
 public:
  explicit JisNoise(unsigned seed) : rng_(seed) {}

  // Stretches of random lengths in both modes, with the odd stray ESC,
  // odd-length stretch, control byte and 8-bit byte.
  std::string Make(std::size_t size) {
    std::string s;
    while (s.size() < size) {
      switch (Roll(0, 9)) {
        case 0: s += "\x1B$B"; break;
        case 1: s += "\x1B(B"; break;
        case 2: s += "\x1B(J"; break;
        case 3: s += "\r\n"; break;
        case 4: s += static_cast<char>(Roll(0, 255)); break;
        default:
          for (int n = Roll(0, 40); n > 0; --n) s += static_cast<char>(Roll(0x21, 0x7E));
      }
    }
    s.resize(size);
    return s;
  }

 private:
  int Roll(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  std::mt19937 rng_;
};

TEST(JisToSjisRuns, MatchesByteByByteReadingOnNoise) {
  JisNoise noise(7);
  for (std::size_t size = 0; size < 300; ++size) {
    for (int round = 0; round < 20; ++round) {
      const std::string text = noise.Make(size);
      ASSERT_EQ(JisToSjis(text), ReferenceJisToSjis(text)) << testing::PrintToString(text);
    }
  }
}

TEST(JisToSjisRuns, EscapeAtEveryOffsetOfABlock) {
  const std::string kanji = "\x30\x21\x46\x7C";
  for (std::size_t lead = 0; lead < 40; ++lead) {
    for (std::size_t pairs = 0; pairs < 24; ++pairs) {
      std::string text = std::string(lead, 'a') + "\x1B$B";
      for (std::size_t k = 0; k < pairs; ++k) text += kanji.substr(2 * (k % 2), 2);
      const std::string closed = text + "\x1B(Bxyz";
      ASSERT_EQ(JisToSjis(closed), ReferenceJisToSjis(closed)) << lead << ' ' << pairs;
      const std::string odd = text + "\x30";  // lone last byte
      ASSERT_EQ(JisToSjis(odd), ReferenceJisToSjis(odd)) << lead << ' ' << pairs;
      // An ESC as the second byte of a pair does not end the stretch.
      const std::string stray = text + "\x30\x1B(B\x21\x21";
      ASSERT_EQ(JisToSjis(stray), ReferenceJisToSjis(stray)) << lead << ' ' << pairs;
    }
  }
}

}  // namespace
}  // namespace pelnor
