// Header stripping, boundaries, multipart splitting, uuencode begin lines,
// part descriptors and attachment file names.

#include <gtest/gtest.h>

#include "body_test_util.h"
#include "core/mime/mail_parser.h"
#include "core/mime/body_names.h"
#include "core/text/japanese_code.h"
#include "core/mime/header_fields.h"
#include "core/text/sjis.h"

namespace pelnor {
namespace {

using testing::Lines;

// --- StripHeader -------------------------------------------------------------

TEST(StripHeader, DeletesHeaderAndTheBlankLinesAfterIt) {
  Lines lines{"Subject: x", "To: y", "", "  ", "", "body", "", "more"};
  MailParser::StripHeader(lines);
  EXPECT_EQ(lines, (Lines{"body", "", "more"}));
}

TEST(StripHeader, BodyWithoutHeaderOnlyLosesLeadingBlankLines) {
  Lines lines{"", "\t", "first", "second"};
  MailParser::StripHeader(lines);
  EXPECT_EQ(lines, (Lines{"first", "second"}));
}

TEST(StripHeader, LineOfBlanksEndsTheHeaderWhileFindHeaderReadsOn) {
  Lines lines{"Subject: x", "   ", "Content-Type: text/html", "", "body"};
  ASSERT_TRUE(FindHeader("CONTENT-TYPE:", lines).has_value());
  MailParser::StripHeader(lines);
  EXPECT_EQ(lines, (Lines{"Content-Type: text/html", "", "body"}));
}

TEST(StripHeader, HeaderOnlyAndEmptyListsBecomeEmpty) {
  Lines header{"A: 1", "B: 2"};
  MailParser::StripHeader(header);
  EXPECT_TRUE(header.empty());
  Lines none;
  MailParser::StripHeader(none);
  EXPECT_TRUE(none.empty());
}

// --- ExtractBoundary ---------------------------------------------------------

struct BoundaryCase {
  const char* name;
  std::string line;
  std::string delimiter;
};

class ExtractBoundaryTest : public ::testing::TestWithParam<BoundaryCase> {};

TEST_P(ExtractBoundaryTest, GivesTheDelimiterLine) {
  EXPECT_EQ(MailParser::ExtractBoundary(GetParam().line), GetParam().delimiter);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ExtractBoundaryTest,
    ::testing::Values(
        BoundaryCase{"Quoted", "Content-Type: multipart/mixed; boundary=\"abc def\"", "--abc def"},
        BoundaryCase{"Bare", "Content-Type: multipart/mixed; boundary=xyz", "--xyz"},
        BoundaryCase{"BareThenParameter",
                     "Content-Type: multipart/mixed; boundary=xyz; charset=x", "--xyz"},
        BoundaryCase{"QuotedThenParameter",
                     "Content-Type: multipart/mixed;boundary=\"q;r\";type=a", "--q"},
        BoundaryCase{"BlanksAroundEquals", "Content-Type: multipart/mixed; BOUNDARY = \"B1\"",
                     "--B1"},
        BoundaryCase{"CaseKept", "content-type: multipart/alternative; Boundary=MiXeD",
                     "--MiXeD"},
        BoundaryCase{"Missing", "Content-Type: multipart/mixed", "--"},
        BoundaryCase{"CutAfter72Characters",
                     "Content-Type: multipart/mixed; boundary=\"" + std::string(80, 'b') + "\"",
                     "--" + std::string(70, 'b')}),
    [](const auto& info) { return std::string(info.param.name); });

// --- SplitMultipart ------------------------------------------------------------

using Parts = std::vector<Lines>;

Parts Split(Lines lines) {
  Parts parts;
  MailParser::SplitMultipart(std::move(lines), parts);
  return parts;
}

TEST(SplitMultipart, PreambleAndEpilogueAreDropped) {
  const Parts parts = Split({"Content-Type: multipart/mixed; boundary=b", "", "preamble",
                             "--b", "one", "--b", "two", "--b--", "epilogue"});
  EXPECT_EQ(parts, (Parts{{"one"}, {"two"}}));
}

TEST(SplitMultipart, NestedPartsComeOutFlatInDocumentOrder) {
  const Parts parts = Split({"Content-Type: multipart/mixed; boundary=o", "", "--o",
                             "Content-Type: multipart/alternative; boundary=i", "", "--i",
                             "a", "--i", "b", "--i--", "--o", "c", "--o--"});
  EXPECT_EQ(parts, (Parts{{"a"}, {"b"}, {"c"}}));
}

TEST(SplitMultipart, FoldedContentTypeIsFollowed) {
  const Parts parts = Split({"Content-Type: multipart/mixed;", "\tboundary=\"f\"", "", "--f",
                             "x", "--f--"});
  EXPECT_EQ(parts, (Parts{{"x"}}));
}

TEST(SplitMultipart, WithoutClosingDelimiterTheLastPartRunsToTheEnd) {
  const Parts parts =
      Split({"Content-Type: multipart/mixed; boundary=b", "", "--b", "one", "--b", "two", "x"});
  EXPECT_EQ(parts, (Parts{{"one"}, {"two", "x"}}));
}

TEST(SplitMultipart, WithoutDelimiterOrBoundaryThereAreNoParts) {
  EXPECT_TRUE(Split({"Content-Type: multipart/mixed; boundary=b", "", "text", "--c"}).empty());
  // A body line of two dashes is no delimiter when the boundary is missing.
  EXPECT_TRUE(Split({"Content-Type: multipart/mixed", "", "--", "text", "----"}).empty());
}

TEST(SplitMultipart, DelimitersAreComparedWholeAndCaseSensitive) {
  const Parts parts = Split({"Content-Type: multipart/mixed; boundary=b", "", "--b", "one",
                             "--B", "--b ", "--bb", "--b--x", "--b--"});
  EXPECT_EQ(parts, (Parts{{"one", "--B", "--b ", "--bb", "--b--x"}}));
}

TEST(SplitMultipart, EmptyPartsBetweenDelimitersYieldNothing) {
  const Parts parts = Split({"Content-Type: multipart/mixed; boundary=b", "", "--b", "--b",
                             "one", "--b", "--b", "--b", "two", "--b", "--b--"});
  EXPECT_EQ(parts, (Parts{{"one"}, {"two"}}));
}

TEST(SplitMultipart, ClosingDelimiterRightAfterADelimiterEndsTheBody) {
  EXPECT_TRUE(Split({"Content-Type: multipart/mixed; boundary=b", "", "--b", "--b--", "x"})
                  .empty());
}

TEST(SplitMultipart, NonMultipartTextIsOneLeafWithItsHeader) {
  const Lines leaf{"Content-Type: text/plain", "", "hello"};
  EXPECT_EQ(Split(leaf), (Parts{leaf}));
}

TEST(SplitMultipart, HostileNestingDepthEndsInALeafInsteadOfACrash) {
  Lines lines;
  for (int i = 0; i < 5000; ++i) {
    lines.push_back("Content-Type: multipart/mixed; boundary=b" + std::to_string(i));
    lines.push_back("");
    lines.push_back("--b" + std::to_string(i));
  }
  lines.push_back("deep");
  const Parts parts = Split(lines);
  ASSERT_EQ(parts.size(), 1u);
  EXPECT_EQ(parts[0].back(), "deep");
}

// --- FindUUBegin -------------------------------------------------------------

struct BeginCase {
  const char* name;
  std::string line;
  bool found;
  std::string fileName;
};

class FindUUBeginTest : public ::testing::TestWithParam<BeginCase> {};

TEST_P(FindUUBeginTest, RecognisesBeginLines) {
  const Lines lines{"text", GetParam().line};
  std::size_t index = 99;
  std::string name;
  ASSERT_EQ(MailParser::FindUUBegin(lines, index, name), GetParam().found);
  if (GetParam().found) {
    EXPECT_EQ(index, 1u);
    EXPECT_EQ(name, GetParam().fileName);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, FindUUBeginTest,
    ::testing::Values(
        BeginCase{"Mode644", "begin 644 file.txt", true, "file.txt"},
        BeginCase{"UpperCaseWordNameCaseKept", "BEGIN 600 Report.PDF", true, "Report.PDF"},
        BeginCase{"Mode777Refused", "begin 777 file.txt", false, ""},
        BeginCase{"Mode000Refused", "begin 000 file.txt", false, ""},
        BeginCase{"ModeNotANumber", "begin abc file.txt", false, ""},
        BeginCase{"TenCharactersAreTooShort", "begin 644 ", false, ""},
        BeginCase{"ElevenCharactersGiveOneCharacterName", "begin 644 x", true, "x"},
        BeginCase{"NameCutAt64", "begin 644 " + std::string(70, 'n'), true,
                  std::string(64, 'n')},
        BeginCase{"ProseIsNoBeginLine", "beginning of the story", false, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FindUUBegin, EmptyListFindsNothing) {
  std::size_t index = 0;
  std::string name;
  EXPECT_FALSE(MailParser::FindUUBegin({}, index, name));
}

// --- Unquote -----------------------------------------------------------------

TEST(Unquote, DropsOneQuoteAtEachEnd) {
  EXPECT_EQ(MailParser::Unquote("\"a.txt\""), "a.txt");
  EXPECT_EQ(MailParser::Unquote("'a.txt'"), "a.txt");
  EXPECT_EQ(MailParser::Unquote("\"a.txt'"), "a.txt");
  EXPECT_EQ(MailParser::Unquote("\"\"a\"\""), "\"a\"");
  EXPECT_EQ(MailParser::Unquote("a.txt\""), "a.txt");
  EXPECT_EQ(MailParser::Unquote("\""), "");
  EXPECT_EQ(MailParser::Unquote(""), "");
}

// --- ReadPartInfo ------------------------------------------------------------

TEST(ReadPartInfo, DefaultsWithoutHeaders) {
  const auto info = MailParser::ReadPartInfo({"", "body"});
  EXPECT_EQ(info.Type, "TEXT/PLAIN");
  EXPECT_EQ(info.Encoding, "7BIT");
  EXPECT_EQ(info.Name, "");
}

TEST(ReadPartInfo, TypeEncodingAndQuotedName) {
  const auto info = MailParser::ReadPartInfo(
      {"Content-Type: Application/PDF; name=\"offer.pdf\"",
       "Content-Transfer-Encoding: Base64", "", "JVBE"});
  EXPECT_EQ(info.Type, "APPLICATION/PDF");
  EXPECT_EQ(info.Encoding, "BASE64");
  EXPECT_EQ(info.Name, "offer.pdf");
}

TEST(ReadPartInfo, NameFromDispositionWhenTypeHasNone) {
  const auto info = MailParser::ReadPartInfo(
      {"Content-Type: image/png", "Content-Disposition: attachment; filename='logo.png'", ""});
  EXPECT_EQ(info.Name, "logo.png");
}

TEST(ReadPartInfo, TypeNameWinsOverDisposition) {
  const auto info = MailParser::ReadPartInfo({"Content-Type: text/plain; name=a.txt",
                                              "Content-Disposition: attachment; filename=b.txt",
                                              ""});
  EXPECT_EQ(info.Name, "a.txt");
}

TEST(ReadPartInfo, JapaneseEncodedWordNameBecomesUtf8) {
  // 見積書.pdf in ISO-2022-JP, base64 encoded word.
  const auto info = MailParser::ReadPartInfo(
      {"Content-Type: application/pdf;",
       " name=\"=?ISO-2022-JP?B?GyRCOCtAUT1xGyhCLnBkZg==?=\"", ""});
  EXPECT_EQ(info.Name, "見積書.pdf");
}

TEST(ReadPartInfo, RawJisNameIsConvertedToo) {
  // In ISO-2022-JP two-byte mode ズ is "%:", 示 "<(" and ー "!<": decoded
  // before the forbidden characters are taken out, they stay whole.
  const std::string jis = "\x1b$B%:I=<(!<\x1b(B.txt";
  const auto info =
      MailParser::ReadPartInfo({"Content-Type: text/plain; name=\"" + jis + "\"", ""});
  EXPECT_EQ(info.Name, "ズ表示ー.txt");
  EXPECT_EQ(RemoveForbiddenNameChars(info.Name), info.Name);
}

// --- attachment names ----------------------------------------------------------

TEST(AttachmentNames, TheNineCharactersAreRemoved) {
  EXPECT_EQ(RemoveForbiddenNameChars("a\\b/c:d*e?f\"g<h>i|j.txt"), "abcdefghij.txt");
}

TEST(AttachmentNames, CharactersWhoseShiftJisFormHoldsASeparatorByteSurvive) {
  // ソ, 表 and ポ are 0x83 0x5C, 0x95 0x5C and 0x83 0x7C in Shift_JIS; by
  // the time names are cleaned they are UTF-8, which has no such bytes.
  EXPECT_EQ(RemoveForbiddenNameChars("ソフト表ポ:1.txt"), "ソフト表ポ1.txt");
}

TEST(AttachmentNames, HtmlNameFromSubject) {
  EXPECT_EQ(HtmlNameFromSubject("News"), "News.html");
  EXPECT_EQ(HtmlNameFromSubject("Weekly news v2.1"), "Weekly news v2.html");
  EXPECT_EQ(HtmlNameFromSubject("v1.0: notes"), "v1.0: notes.html");
  EXPECT_EQ(HtmlNameFromSubject("dir\\x.y\\name"), "dir\\x.y\\name.html");
  EXPECT_EQ(HtmlNameFromSubject(""), ".html");
  EXPECT_EQ(HtmlNameFromSubject("ソフト.txt"), "ソフト.html");
}

}  // namespace
}  // namespace pelnor
