#include "core/print/text_wrap.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "literal_wrap.h"
#include "support/recording_canvas.h"

namespace pelnor {
namespace {

using test::LiteralWrapText;
using test::RecordingCanvas;

std::vector<std::string> Wrap(std::string_view text, int width) {
  std::vector<std::string> out;
  for (std::string_view piece : WrapText(text, width, &RecordingCanvas::Measure))
    out.emplace_back(piece);
  return out;
}

struct WrapCase {
  const char* Name;
  const char* Utf8;
  int Width;
  std::vector<const char*> Pieces;
};

class WrapTextTable : public testing::TestWithParam<WrapCase> {};

TEST_P(WrapTextTable, GivesThePieces) {
  const WrapCase& c = GetParam();
  std::vector<std::string> expected;
  for (const char* p : c.Pieces) expected.push_back(p);
  EXPECT_EQ(Wrap(c.Utf8, c.Width), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rule, WrapTextTable,
    testing::Values(
        WrapCase{"EmptyTextIsOneEmptyPiece", "", 100, {""}},
        WrapCase{"FitsWhole", "abc", 100, {"abc"}},
        WrapCase{"ExactlyAsWideFitsOnOneLine", "abcde", 50, {"abcde"}},
        WrapCase{"OneByteTooMany", "abcdef", 50, {"abcde", "f"}},
        WrapCase{"JapaneseBetweenWholeCharacters", "あいうえお", 50,
                  {"あい", "うえ", "お"}},
        WrapCase{"MixedWrapsAtLastCharacterThatFits", "ab漢字cd", 50,
                  {"ab漢", "字cd"}},
        WrapCase{"MixedWideCharacterDoesNotFitInTheGap", "abcd漢", 50, {"abcd", "漢"}},
        WrapCase{"HalfWidthKanaIsNarrow", "ｱｲｳｴｵｶ", 50, {"ｱｲｳｴｵ", "ｶ"}},
        WrapCase{"CharacterBeyondTheBasicPlane", "a𠮷b①", 40, {"a𠮷b", "①"}},
        WrapCase{"CombiningMarkStaysWithItsLetter", "abcde\u0301f", 50, {"abcd", "e\u0301f"}},
        WrapCase{"EmojiSequenceIsOneCharacter", "abc👨\u200d👩\u200d👧d", 40,
                 {"abc", "👨\u200d👩\u200d👧d"}},
        WrapCase{"CharacterWiderThanWidthStandsAlone", "漢字", 15, {"漢", "字"}},
        WrapCase{"ZeroWidthGivesOneCharacterPerPiece", "a漢", 0, {"a", "漢"}},
        WrapCase{"NegativeWidthGivesOneCharacterPerPiece", "ab", -30, {"a", "b"}},
        WrapCase{"BlanksAreCharactersLikeAnyOther", "ab  cd", 30, {"ab ", " cd"}}),
    [](const testing::TestParamInfo<WrapCase>& info) { return info.param.Name; });

TEST(WrapText, ByteThatIsNoUtf8IsACharacterAlone) {
  EXPECT_EQ(Wrap("ab\xE3", 20), (std::vector<std::string>{"ab", "\xE3"}));
}

TEST(WrapText, PiecesCoverTheTextWithNoneEmpty) {
  std::string text = "本日は晴天なり。Testing 1, 2, 3 ｶﾀｶﾅ 😀";
  std::string joined;
  for (const std::string& piece : Wrap(text, 70)) {
    EXPECT_FALSE(piece.empty());
    EXPECT_LE(RecordingCanvas::Measure(piece), 70);
    joined += piece;
  }
  EXPECT_EQ(joined, text);
}

// Widths with kerning: a pair "AV" is 4 pixels narrower. Still never
// narrower when a character is added.
int KernedWidth(std::string_view text) {
  int width = RecordingCanvas::Measure(text);
  for (std::size_t i = 0; i + 1 < text.size(); ++i)
    if (text[i] == 'A' && text[i + 1] == 'V') width -= 4;
  return width;
}

std::string RandomText(std::mt19937& rng, std::size_t bytes) {
  static const std::string pieces[] = {"A", "V", " ", "x", "亜", "あ", "ｱ", "　", "𠮷",
                                       "\u0301", "\u200d", "\xFF"};
  std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
  std::string s;
  while (s.size() < bytes) s += pieces[pick(rng)];
  return s;
}

TEST(WrapText, MatchesTheLiteralRuleOnRandomText) {
  std::mt19937 rng(5);
  std::uniform_int_distribution<int> width(-5, 260);
  std::uniform_int_distribution<std::size_t> length(0, 200);
  for (int round = 0; round < 150; ++round) {
    std::string text = RandomText(rng, length(rng));
    int w = width(rng);
    SCOPED_TRACE("width " + std::to_string(w) + " text " + text);
    ASSERT_EQ(WrapText(text, w, KernedWidth), LiteralWrapText(text, w, KernedWidth));
  }
}

TEST(WrapText, MeasuresFarLessThanTheLiteralRuleOnALongLine) {
  std::string text(2000, 'a');
  long fast = 0, literal = 0;
  auto counting = [](long& bytes) {
    return [&bytes](std::string_view s) {
      bytes += static_cast<long>(s.size());
      return RecordingCanvas::Measure(s);
    };
  };
  auto a = WrapText(text, 1000, counting(fast));
  auto b = LiteralWrapText(text, 1000, counting(literal));
  EXPECT_EQ(a, b);
  EXPECT_EQ(a.size(), 20u);
  // O(n log p) against O(n^2) per piece.
  EXPECT_LT(fast, 20L * static_cast<long>(text.size()));
  EXPECT_GT(literal, 100L * fast);
}

TEST(CharEnds, ReadsCharactersFromTheFront) {
  // a, あ, ｱ, 𠮷, e with a combining accent, a thumb with a skin tone, a
  // family joined by zero-width joiners, a byte that is no UTF-8.
  EXPECT_EQ(CharEnds("aあｱ𠮷e\u0301👍🏽👨\u200d👩\u200d👧\xFF"),
            (std::vector<std::size_t>{1, 4, 7, 11, 14, 22, 40, 41}));
  EXPECT_TRUE(CharEnds("").empty());
}

}  // namespace
}  // namespace pelnor
