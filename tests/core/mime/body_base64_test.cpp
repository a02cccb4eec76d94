// Base64GroupDecoder::DecodeLine against a byte-by-byte decoder written
// from the group rules, with each block decoder this machine runs: random
// alphabet lines of every length, every byte value at every position,
// padding, blanks and line ends inside runs, groups split across lines.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "core/mime/body_base64.h"

namespace pelnor {
namespace {

using EBlock = Base64GroupDecoder::EBlockDecoder;

const std::string kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The rules, one character at a time.
class Reference {
 public:
  std::string DecodeLine(std::string_view line, std::size_t& groups) {
    std::string out;
    groups = 0;
    for (char ch : line) {
      const auto c = static_cast<unsigned char>(ch);
      int v = -1;
      if (c == '=') {
        v = kPad;
      } else if (const auto at = kAlphabet.find(static_cast<char>(c)); at != std::string::npos) {
        v = static_cast<int>(at);
      }
      if (v < 0) continue;
      values_[count_++] = v;
      if (count_ < 4) continue;
      count_ = 0;
      ++groups;
      std::uint32_t bits = 0;
      for (int x : values_) bits = bits << 6 | static_cast<std::uint32_t>(x == kPad ? 0 : x);
      const char bytes[3] = {static_cast<char>(bits >> 16), static_cast<char>(bits >> 8),
                             static_cast<char>(bits)};
      if (values_[2] == kPad) {
        out.append(bytes, 1);
      } else if (values_[3] == kPad) {
        out.append(bytes, 2);
      } else if (values_[0] != kPad) {
        out.append(bytes, 3);
      }
    }
    return out;
  }
  int Pending() const { return count_; }

 private:
  static constexpr int kPad = 64;
  int values_[4] = {};
  int count_ = 0;
};

class Base64LineTest : public ::testing::TestWithParam<EBlock> {
 protected:
  void SetUp() override {
    if (!Base64GroupDecoder::Supports(GetParam())) GTEST_SKIP() << "not on this machine";
    Base64GroupDecoder::UseBlockDecoder(GetParam());
    ASSERT_EQ(Base64GroupDecoder::CurrentBlockDecoder(), GetParam());
  }
  void TearDown() override {
    Base64GroupDecoder::UseBlockDecoder(Base64GroupDecoder::BestBlockDecoder());
  }

  // Decodes `lines` in turn with one decoder and the reference, comparing
  // each line's bytes and group count, that nothing is written past the
  // room MaxOutput promises, and the unfinished group at the end.
  void ExpectSame(const std::vector<std::string>& lines) {
    Base64GroupDecoder decoder;
    Reference reference;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      // Alphabet text around the line, so that reading outside it would
      // decode more and show, as would writing outside the room.
      const std::string stored = kAlphabet.substr(0, kGuard) + lines[i] + kAlphabet;
      const std::string_view line(stored.data() + kGuard, lines[i].size());
      const std::size_t room = Base64GroupDecoder::MaxOutput(line.size());
      std::vector<char> buffer(kGuard + room + kGuard, '\x5A');
      char* out = buffer.data() + kGuard;
      std::size_t groups = 99;
      const std::size_t written = decoder.DecodeLine(line, out, groups);
      std::size_t expectedGroups = 0;
      const std::string expected = reference.DecodeLine(line, expectedGroups);
      ASSERT_LE(written, room) << Describe(lines, i);
      ASSERT_EQ(std::string(out, written), expected) << Describe(lines, i);
      ASSERT_EQ(groups, expectedGroups) << Describe(lines, i);
      for (std::size_t g = 0; g < kGuard; ++g) {
        ASSERT_EQ(buffer[g], '\x5A') << "wrote before the room, " << Describe(lines, i);
        ASSERT_EQ(out[room + g], '\x5A') << "wrote past the room, " << Describe(lines, i);
      }
      ASSERT_EQ(decoder.Pending(), reference.Pending()) << Describe(lines, i);
    }
  }

  static std::string Describe(const std::vector<std::string>& lines, std::size_t at) {
    std::string s = "line " + std::to_string(at) + " of:";
    for (const auto& line : lines) {
      s += "\n  \"";
      for (char ch : line) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
          s += ch;
        } else {
          static const char kHex[] = "0123456789ABCDEF";
          s += "\\x";
          s += kHex[c >> 4];
          s += kHex[c & 15];
        }
      }
      s += '"';
    }
    return s;
  }

  std::string RandomAlphabet(std::size_t n) {
    std::string s(n, 'A');
    for (char& c : s) c = kAlphabet[rng_() % 64];
    return s;
  }

  static constexpr std::size_t kGuard = 32;
  std::mt19937 rng_{20261208};
};

TEST_P(Base64LineTest, KnownGroupsDecode) {
  // Pins the reference itself to the bit order and the padding rules.
  Reference reference;
  std::size_t groups = 0;
  EXPECT_EQ(reference.DecodeLine("TWFuTWE=TQ==", groups), "ManMaM");
  EXPECT_EQ(groups, 3u);
  EXPECT_EQ(reference.DecodeLine("=AAATW=u", groups), "M");
  EXPECT_EQ(groups, 2u);
  EXPECT_EQ(reference.DecodeLine("++//", groups), "\xFB\xEF\xFF");

  Base64GroupDecoder decoder;
  const std::string line =
      "TWFuIGlzIGRpc3Rpbmd1aXNoZWQsIG5vdCBvbmx5IGJ5IGhpcyByZWFzb24sIGJ1dCBieSB0aGlz";
  std::vector<char> out(Base64GroupDecoder::MaxOutput(line.size()));
  const std::size_t written = decoder.DecodeLine(line, out.data(), groups);
  EXPECT_EQ(std::string(out.data(), written),
            "Man is distinguished, not only by his reason, but by this");
  EXPECT_EQ(groups, 19u);
}

TEST_P(Base64LineTest, AlphabetLinesOfEveryLength) {
  for (int round = 0; round < 4; ++round) {
    for (std::size_t n = 0; n <= 200; ++n) {
      ExpectSame({RandomAlphabet(n)});
      // The same length again after one to three values left over.
      ExpectSame({RandomAlphabet(1 + round % 3), RandomAlphabet(n)});
    }
  }
}

TEST_P(Base64LineTest, EveryByteAtEveryPosition) {
  const std::string base = RandomAlphabet(76);
  for (int b = 0; b < 256; ++b) {
    for (std::size_t at = 0; at < base.size(); ++at) {
      std::string line = base;
      line[at] = static_cast<char>(b);
      ExpectSame({line});
      // Inserted rather than replaced, so the groups after it shift.
      std::string longer = base;
      longer.insert(at, 1, static_cast<char>(b));
      ExpectSame({longer});
    }
  }
}

TEST_P(Base64LineTest, SpecialsInRunsOfEveryLength) {
  const std::string specials[] = {"=", "==", " ", "\t", "\r", "\n", "\r\n", "\0", "-",
                                  "@", "[", "`", "{", ":", ",", ".", "\x80", "\xFF"};
  for (const std::string& special : specials) {
    for (std::size_t n = 1; n <= 100; ++n) {
      const std::string run = RandomAlphabet(n);
      for (std::size_t at = 0; at <= n; ++at) {
        std::string line = run;
        line.insert(at, special);
        ExpectSame({line});
        ExpectSame({RandomAlphabet(2), line, RandomAlphabet(n)});
      }
    }
  }
}

TEST_P(Base64LineTest, PaddingInsideLongRuns) {
  const std::string padded[] = {"QQ==", "QUI=", "=QUI", "Q=UI", "====", "QU=I", "Q===", "=Q=="};
  for (const std::string& group : padded) {
    for (std::size_t before = 0; before <= 80; ++before) {
      ExpectSame({RandomAlphabet(before) + group + RandomAlphabet(76)});
      // The same characters with the padded group off the group boundary.
      ExpectSame({RandomAlphabet(before) + "A" + group + RandomAlphabet(75)});
    }
  }
}

TEST_P(Base64LineTest, GroupsSplitAcrossLines) {
  for (std::size_t first = 0; first <= 12; ++first) {
    for (std::size_t second = 0; second <= 90; ++second) {
      ExpectSame({RandomAlphabet(first), RandomAlphabet(second), RandomAlphabet(76),
                  RandomAlphabet(first + 1)});
      std::string blanked = " ";
      blanked += RandomAlphabet(second);
      blanked += '=';
      ExpectSame({RandomAlphabet(first) + "\r", blanked, RandomAlphabet(76)});
    }
  }
}

TEST_P(Base64LineTest, RandomMixedLines) {
  // Mostly alphabet, some padding, blanks, line ends and other bytes.
  for (int trial = 0; trial < 3000; ++trial) {
    std::vector<std::string> lines(1 + rng_() % 6);
    const unsigned rate = 1 + rng_() % 60;
    for (auto& line : lines) {
      line.resize(rng_() % 201);
      for (char& c : line) {
        const unsigned pick = rng_() % 1000;
        if (pick >= rate) {
          c = kAlphabet[rng_() % 64];
        } else if (pick % 3 == 0) {
          c = '=';
        } else {
          c = static_cast<char>(rng_() % 256);
        }
      }
    }
    ExpectSame(lines);
  }
}

TEST_P(Base64LineTest, BytesRoundTripThroughLines) {
  // Encoded here with the standard bit order, cut into 76-character lines.
  std::vector<unsigned char> bytes(3000);
  for (auto& b : bytes) b = static_cast<unsigned char>(rng_());
  std::string text;
  for (std::size_t i = 0; i + 3 <= bytes.size(); i += 3) {
    const std::uint32_t bits = bytes[i] << 16 | bytes[i + 1] << 8 | bytes[i + 2];
    for (int shift = 18; shift >= 0; shift -= 6) text += kAlphabet[bits >> shift & 63];
  }
  Base64GroupDecoder decoder;
  std::string decoded;
  for (std::size_t at = 0; at < text.size(); at += 76) {
    const std::string line = text.substr(at, 76);
    std::vector<char> out(Base64GroupDecoder::MaxOutput(line.size()));
    std::size_t groups = 0;
    decoded.append(out.data(), decoder.DecodeLine(line, out.data(), groups));
  }
  EXPECT_EQ(decoded, std::string(bytes.begin(), bytes.end()));
  EXPECT_EQ(decoder.Pending(), 0);
}

INSTANTIATE_TEST_SUITE_P(BlockDecoders, Base64LineTest,
                         ::testing::Values(EBlock::Scalar, EBlock::Sse2, EBlock::Ssse3,
                                                           EBlock::Avx2),
                         [](const auto& info) {
                           switch (info.param) {
                             case EBlock::Scalar:
                               return std::string("Scalar");
                             case EBlock::Sse2:
                               return std::string("Sse2");
                             case EBlock::Ssse3:
                               return std::string("Ssse3");
                             case EBlock::Avx2:
                               return std::string("Avx2");
                           }
                           return std::string("Unknown");
                         });

TEST(Base64BlockDecoderTest, BestIsSupportedAndScalarAlwaysIs) {
  EXPECT_TRUE(Base64GroupDecoder::Supports(EBlock::Scalar));
  EXPECT_TRUE(Base64GroupDecoder::Supports(Base64GroupDecoder::BestBlockDecoder()));
  EXPECT_EQ(Base64GroupDecoder::CurrentBlockDecoder(), Base64GroupDecoder::BestBlockDecoder());
}

}  // namespace
}  // namespace pelnor
