// Compares the converters with glibc's iconv (ISO-2022-JP -> CP932), which
// holds the published mapping tables.

#include "core/text/japanese_code.h"
#include "core/text/sjis.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <optional>
#include <string>
#include <vector>

namespace pelnor {
namespace {

// One iconv conversion descriptor; nullopt for input iconv refuses.
class Iconv {
 public:
  Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Iconv() {
    if (Ok()) iconv_close(cd_);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;

  bool Ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  std::optional<std::string> Convert(const std::string& in) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    std::string out(in.size() * 4 + 16, '\0');
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char* dst = out.data();
    std::size_t dstLeft = out.size();
    if (iconv(cd_, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1) ||
        iconv(cd_, nullptr, nullptr, &dst, &dstLeft) == static_cast<std::size_t>(-1)) {
      return std::nullopt;
    }
    out.resize(out.size() - dstLeft);
    return out;
  }

 private:
  iconv_t cd_;
};

struct JisChar {
  unsigned char j1;
  unsigned char j2;
};

bool InTestedRows(int row) {
  return (row >= 1 && row <= 8) || (row >= 16 && row <= 84);
}

std::string Pair(unsigned char a, unsigned char b) {
  return std::string{static_cast<char>(a), static_cast<char>(b)};
}

std::string InTwoByteMode(const std::string& pairs) {
  return "\x1B$B" + pairs + "\x1B(B";
}

// Every assigned JIS X 0208 character of the rows in question, as iconv
// knows them.
std::vector<JisChar> AssignedCharacters(Iconv& jisToCp932) {
  std::vector<JisChar> chars;
  for (int row = 1; row <= 94; ++row) {
    if (!InTestedRows(row)) continue;
    for (int cell = 1; cell <= 94; ++cell) {
      const JisChar c{static_cast<unsigned char>(0x20 + row),
                       static_cast<unsigned char>(0x20 + cell)};
      if (jisToCp932.Convert(InTwoByteMode(Pair(c.j1, c.j2)))) chars.push_back(c);
    }
  }
  return chars;
}

class JConvertIconv : public testing::Test {
 protected:
  void SetUp() override {
    if (!jisToCp932_.Ok()) GTEST_SKIP() << "iconv has no ISO-2022-JP -> CP932";
  }
  Iconv jisToCp932_{"CP932", "ISO-2022-JP"};
};

TEST_F(JConvertIconv, EveryJisX0208CharacterBothWays) {
  const std::vector<JisChar> chars = AssignedCharacters(jisToCp932_);
  // JIS X 0208:1990 has 524 non-kanji and 6355 kanji in these rows.
  EXPECT_EQ(chars.size(), 6879u);
  int mismatches = 0;
  for (const JisChar& c : chars) {
    const std::string jis = InTwoByteMode(Pair(c.j1, c.j2));
    const std::string expected = *jisToCp932_.Convert(jis);
    const std::string sjis = JisToSjis(jis);
    const std::string back = SjisToJis(sjis);
    if (sjis != expected || back != "\x1B$B" + Pair(c.j1, c.j2)) {
      ADD_FAILURE() << std::hex << "JIS " << int(c.j1) << ' ' << int(c.j2);
      if (++mismatches > 20) break;
    }
    ASSERT_EQ(ConvertCode(jis, jcSjis), sjis);
  }
}

TEST_F(JConvertIconv, LongMixedTextMatchesIconv) {
  // All characters in one stream, broken into lines with ASCII between
  // stretches, as a long mail body would be.
  const std::vector<JisChar> chars = AssignedCharacters(jisToCp932_);
  std::string jis;
  std::string pairs;
  for (std::size_t i = 0; i < chars.size(); ++i) {
    pairs += Pair(chars[i].j1, chars[i].j2);
    if (i % 37 == 36 || i + 1 == chars.size()) {
      jis += "line " + std::to_string(i) + ": " + InTwoByteMode(pairs) + "\r\n";
      pairs.clear();
    }
  }
  const std::optional<std::string> expected = jisToCp932_.Convert(jis);
  ASSERT_TRUE(expected);
  EXPECT_EQ(JisToSjis(jis), *expected);
  EXPECT_EQ(ConvertCode(jis, jcSjis), *expected);
}

TEST_F(JConvertIconv, EucJpAgreesWithIconv) {
  Iconv jisToEuc("EUC-JP", "ISO-2022-JP");
  ASSERT_TRUE(jisToEuc.Ok());
  std::string pairs;
  for (const JisChar& c : AssignedCharacters(jisToCp932_)) {
    pairs += Pair(c.j1, c.j2);
  }
  const std::string jis = "abc " + InTwoByteMode(pairs) + " xyz";
  const std::string euc = *jisToEuc.Convert(jis);
  EXPECT_EQ(JisToEuc(jis), euc);
  EXPECT_EQ(EucToSjis(euc), *jisToCp932_.Convert(jis));
}

TEST(JConvertHankaku, TableMatchesFullWidthForms) {
  // The full-width forms of ｡｢｣､･ｦｧ...ﾜﾝﾞﾟ in order, turned into JIS pairs
  // by iconv (EUC-JP with the top bits cleared).
  const std::string fullWidth =
      "。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソ"
      "タチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン゛゜";
  Iconv utf8ToEuc("EUC-JP", "UTF-8");
  ASSERT_TRUE(utf8ToEuc.Ok());
  const std::string euc = *utf8ToEuc.Convert(fullWidth);
  ASSERT_EQ(euc.size(), 63u * 2);
  for (int h = 0xA1; h <= 0xDF; ++h) {
    const std::string text(1, static_cast<char>(h));
    std::size_t pos = 0;
    const BytePair got = HankakuToJis(text, pos);
    const std::size_t k = (h - 0xA1) * 2;
    EXPECT_EQ(got, (BytePair{static_cast<unsigned char>(euc[k] & 0x7F),
                              static_cast<unsigned char>(euc[k + 1] & 0x7F)}))
        << std::hex << h;
    EXPECT_EQ(pos, 1u);
  }
}

TEST(JConvertHankaku, VoicedFormsMatchFullWidth) {
  const std::string bases = "ｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾊﾋﾌﾍﾎｳ";
  const std::string voiced = "ガギグゲゴザジズゼゾダヂヅデドバビブベボヴ";
  const std::string semiBases = "ﾊﾋﾌﾍﾎ";
  const std::string semiVoiced = "パピプペポ";
  Iconv toSjis("CP932", "UTF-8");
  Iconv toEuc("EUC-JP", "UTF-8");
  ASSERT_TRUE(toSjis.Ok() && toEuc.Ok());
  auto check = [&](const std::string& base, const std::string& full, char mark) {
    const std::string sjis = *toSjis.Convert(base);
    const std::string euc = *toEuc.Convert(full);
    ASSERT_EQ(sjis.size() * 2, euc.size());
    for (std::size_t i = 0; i < sjis.size(); ++i) {
      const std::string text = sjis.substr(i, 1) + mark;
      std::size_t pos = 0;
      EXPECT_EQ(HankakuToJis(text, pos),
                (BytePair{static_cast<unsigned char>(euc[2 * i] & 0x7F),
                           static_cast<unsigned char>(euc[2 * i + 1] & 0x7F)}))
          << std::hex << int(static_cast<unsigned char>(sjis[i]));
      EXPECT_EQ(pos, 2u);
    }
  };
  check(bases, voiced, '\xDE');
  check(semiBases, semiVoiced, '\xDF');
}

}  // namespace
}  // namespace pelnor

namespace pelnor {
namespace {

// Shift_JIS text into UTF-8 reads every character as iconv's CP932 does,
// a whole text at once as well as one character at a time.
TEST(SjisToUtf8Iconv, EveryCharacterAsIconvReadsIt) {
  Iconv cp932ToUtf8("UTF-8", "CP932");
  ASSERT_TRUE(cp932ToUtf8.Ok());
  std::string all;
  std::string expected;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      const std::string pair = Pair(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
      const std::optional<std::string> utf8 = cp932ToUtf8.Convert(pair);
      if (!utf8) continue;
      ASSERT_EQ(SjisToUtf8(pair), *utf8) << std::hex << lead << " " << trail;
      all += pair + "a\xB1";
      expected += *utf8 + "a\xEF\xBD\xB1";  // ｱ
    }
  }
  EXPECT_EQ(SjisToUtf8(all), expected);
}

}  // namespace
}  // namespace pelnor
