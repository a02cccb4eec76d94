// Header-field helpers: text basics, field lookup, Q/B decoding, encoded
// words, address lists, POP3 number helpers, MIME types and temp files.

#include "core/mime/address_util.h"
#include "core/mime/encoded_words.h"
#include "core/mime/header_fields.h"
#include "core/mime/mime_types.h"
#include "core/mime/temp_file.h"
#include "core/pop3/host_address.h"
#include "core/text/text_util.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/text/sjis.h"

namespace pelnor {
namespace {

using Lines = std::vector<std::string>;

// "日本語" in ISO-2022-JP and as one B word.
const std::string kNihongoJis = "\x1b$BF|K\\8l\x1b(B";
const std::string kNihongoB = "=?ISO-2022-JP?B?GyRCRnxLXDhsGyhC?=";

// --- text basics -------------------------------------------------------------

TEST(TextBasics, TrimRemovesBlanksAndControlCharacters) {
  EXPECT_EQ(Trim(" \t\x01 abc \r\n\x1f"), "abc");
  EXPECT_EQ(TrimRight("  abc  "), "  abc");
  EXPECT_EQ(TrimLeft("  abc  "), "abc  ");
  EXPECT_EQ(Trim("   "), "");
}

TEST(TextBasics, CaseChangesTouchAsciiLettersOnly) {
  const std::string sjis = "ａｂｃ表";  // full-width: bytes >= 0x80
  EXPECT_EQ(UpperCase("text/Plain; x=" + sjis), "TEXT/PLAIN; X=" + sjis);
  EXPECT_EQ(LowerCase("BEGIN" + sjis), "begin" + sjis);
}

TEST(TextBasics, SplitLinesHandlesEveryLineEnd) {
  EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("a\r\n\r\nb\r\n"), (Lines{"a", "", "b"}));
  EXPECT_EQ(SplitLines("\n\n"), (Lines{"", ""}));
  EXPECT_EQ(SplitLines(""), Lines{});
  EXPECT_EQ(SplitLines("\r\n"), Lines{""});
}

TEST(TextBasics, JoinAndSplitRoundTrip) {
  const Lines lines{"first", "", "  third  ", ""};
  EXPECT_EQ(JoinLines(lines), "first\r\n\r\n  third  \r\n\r\n");
  EXPECT_EQ(SplitLines(JoinLines(lines)), lines);
  EXPECT_EQ(JoinLines({}), "");
}

// --- FindHeader / GetParam ----------------------------------------------------

TEST(FindHeader, MatchesKeyAtLineStartCaseInsensitively) {
  const Lines h{"Reply-To: r@x", "X-To: x@x", "to: t@x", "To: second@x"};
  EXPECT_EQ(FindHeader("TO:", h), "to: t@x");
  EXPECT_EQ(FindHeader("REPLY-TO:", h), "Reply-To: r@x");
  EXPECT_EQ(FindHeader("CC:", h), std::nullopt);
}

TEST(FindHeader, JoinsFoldedLinesWithoutTheFoldingBlank) {
  const Lines h{"Subject: first", " second", "\t third ", "Date: d", " not subject"};
  EXPECT_EQ(FindHeader("SUBJECT:", h), "Subject: firstsecondthird");
}

TEST(FindHeader, StopsAtTheFirstEmptyLineButNotAtALineOfBlanks) {
  const Lines h{"From: a@x", "   ", "Subject: after blanks", "", "Date: body"};
  EXPECT_EQ(FindHeader("SUBJECT:", h), "Subject: after blanks");
  EXPECT_EQ(FindHeader("DATE:", h), std::nullopt);
  EXPECT_EQ(FindHeader("FROM:", h), "From: a@x");  // blank line folds to nothing
  EXPECT_EQ(FindHeader("FROM:", Lines{}), std::nullopt);
}

TEST(GetParam, ValueEndsBeforeTheFirstSemicolon) {
  EXPECT_EQ(GetParam("CONTENT-TYPE:", "Content-Type:  text/Plain ; charset=x"), "text/Plain");
  EXPECT_EQ(GetParam("DATE:", "Date: Tue, 1 Dec 2026 10:00 +0900; junk"),
            "Tue, 1 Dec 2026 10:00 +0900");
  EXPECT_EQ(GetParam("NAME", "Content-Type: a/b; name=\"x.txt\"; y=1"), "=\"x.txt\"");
  EXPECT_EQ(GetParam("NAME", "Content-Type: a/b"), "");
  EXPECT_EQ(GetParam("SUBJECT:", "Subject:"), "");
}

// --- QDecode / BDecode --------------------------------------------------------

struct QCase {
  const char* name;
  std::string in;
  bool underscore;
  std::string out;
};

TEST(QDecode, Table) {
  const QCase cases[] = {
      {"plain", "abc", false, "abc"},
      {"hex upper and lower", "=41=4a=4A", false, "AJJ"},
      {"underscore in words", "a_b", true, "a b"},
      {"underscore in bodies", "a_b", false, "a_b"},
      {"soft break CR LF", "ab=\r\ncd", false, "abcd"},
      {"soft break lone LF keeps next line", "ab=\ncd", false, "abcd"},
      {"not hex gives at sign", "a=ZZb", false, "a@b"},
      {"half hex gives at sign", "=4Gx", false, "@x"},
      {"cut-off equals ends", "ab=4", false, "ab"},
      {"lone equals ends", "ab=", false, "ab"},
      {"zero byte ends", std::string("ab\0cd", 5), false, "ab"},
      {"high bytes", "=1B=24=42", false, "\x1b$B"},
  };
  for (const auto& c : cases) EXPECT_EQ(QDecode(c.in, c.underscore), c.out) << c.name;
}

struct BCase {
  const char* name;
  std::string in;
  std::string out;
};

TEST(BDecode, Table) {
  const BCase cases[] = {
      {"three bytes", "YWJj", "abc"},
      {"one padding", "YWI=", "ab"},
      {"two padding", "YQ==", "a"},
      {"line breaks skipped", "YW\r\nJj\nZGVm", "abcdef"},
      {"leading blanks skipped", "   YWJj", "abc"},
      {"incomplete group dropped", "YWJjZG", "abc"},
      {"group starting with a blank stops", "YWJj ZGVm", "abc"},
      {"outside the alphabet counts 63", "////", "\xff\xff\xff"},
      {"stray character is 63 too", "**//", "\xff\xff\xff"},
      {"empty", "", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(BDecode(c.in), c.out) << c.name;
}

// --- DecodeWords --------------------------------------------------------------

TEST(DecodeWords, Table) {
  const std::string nihongo = "日本語";
  const BCase cases[] = {
      {"no words", "Hello world", "Hello world"},
      {"ISO-2022-JP B word", kNihongoB, nihongo},
      {"prefix in lower case", "=?iso-2022-jp?b?GyRCRnxLXDhsGyhC?=", nihongo},
      {"text around a word", "Re: " + kNihongoB + " (1)", "Re: " + nihongo + " (1)"},
      {"blank between words stays", kNihongoB + " " + kNihongoB, nihongo + " " + nihongo},
      {"adjacent words", kNihongoB + kNihongoB, nihongo + nihongo},
      {"Q word with underscore", "=?us-ascii?q?a_b=3Dc?=", "a b=c"},
      {"Q word trailing blank trimmed", "=?us-ascii?Q?a__?=b", "ab"},
      {"EUC-JP B word", "=?EUC-JP?B?xvzL3Ljs?=", nihongo},
      {"Shift_JIS Q word", "=?Shift_JIS?Q?=93=FA=96=7B=8C=EA?=", nihongo},
      {"unknown letter kept", "=?x?X?abc?= and =?x?Q?d?=", "=?x?X?abc?= and d"},
      {"unterminated word", "a =?x?Q?bc", "a =?x?Q?bc"},
      {"no question mark", "a =?xyz", "a =?xyz"},
      {"cut after the letter", "=?x?Q", "=?x?Q"},
      {"empty encoded text", "a=?x?B?" "?=b", "ab"},
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeWords(c.in), c.out) << c.name;
}

TEST(DecodeWords, WordSplitOverTwoEncodedWordsJoins) {
  // "日本" and "語" each complete ISO-2022-JP in their own word.
  const std::string first = "=?ISO-2022-JP?B?GyRCRnxLXBsoQg==?=";  // 日本
  const std::string second = "=?ISO-2022-JP?B?GyRCOGwbKEI=?=";     // 語
  EXPECT_EQ(DecodeWords(first + second), "日本語");
  EXPECT_EQ(DecodeWords(first + "\t" + second), "日本\t語");
}

TEST(DecodeWords, DecodedTextIsScannedAgainLikeTheRestOfTheText) {
  // The first word decodes to "?"; together with the "=" before it the text
  // now holds a new word, which is decoded as well.
  EXPECT_EQ(DecodeWords("==?a?Q?=3F?=a?Q?hi?="), "hi");
  // A word decoding to a whole new word.
  EXPECT_EQ(DecodeWords("=?a?Q?=3D=3Fb=3FQ=3Fok=3F=3D?= tail"), "ok tail");
}

TEST(DecodeWords, ManyWordsInALongHeader) {
  std::string in;
  std::string want;
  for (int i = 0; i < 20000; ++i) {
    in += "=?us-ascii?Q?w" + std::to_string(i) + "?= ";
    want += "w" + std::to_string(i) + " ";
  }
  EXPECT_EQ(DecodeWords(in), want);
}

// --- DecodeJisBWords ----------------------------------------------------------

TEST(DecodeJisBWords, ReplacesWordsByJisBytesAndLeavesTheRest) {
  const std::string leave = "\x1b(J";
  EXPECT_EQ(DecodeJisBWords(kNihongoB), kNihongoJis + leave);
  EXPECT_EQ(DecodeJisBWords("a =?iso-2022-jp?b?GyRCRnxLXDhsGyhC?= b"),
            "a " + kNihongoJis + leave + " b");
  EXPECT_EQ(DecodeJisBWords(kNihongoB + kNihongoB), kNihongoJis + leave + kNihongoJis + leave);
  EXPECT_EQ(DecodeJisBWords("=?UTF-8?B?YWJj?="), "=?UTF-8?B?YWJj?=");
  EXPECT_EQ(DecodeJisBWords("plain"), "plain");
}

TEST(DecodeJisBWords, WordWithoutEndLosesOnlyItsPrefix) {
  EXPECT_EQ(DecodeJisBWords("x=?ISO-2022-JP?B?GyRC"), "xGyRC");
}

// --- addresses ----------------------------------------------------------------

TEST(AddressOf, Table) {
  struct Row {
    const char* in;
    bool brackets;
    const char* out;
  } rows[] = {
      {"Taro <taro@example.jp>", false, "taro@example.jp"},
      {"Taro <taro@example.jp>", true, "<taro@example.jp>"},
      {"  taro@example.jp  ", true, "<taro@example.jp>"},
      {"taro@example.jp (Taro (the) Yamada)", false, "taro@example.jp  Yamada)"},
      {"(c1) taro@x (c2)", false, "taro@x"},
      {"a (open only", false, "a (open only"},
      {"odd > order <", false, ""},
      {"", true, "<>"},
  };
  for (const auto& r : rows) EXPECT_EQ(AddressOf(r.in, r.brackets), r.out) << r.in;
}

TEST(DisplayNameOf, Table) {
  struct Row {
    const char* in;
    bool quotes;
    const char* out;
  } rows[] = {
      {"Taro Yamada <taro@x>", false, "Taro Yamada"},
      {"Taro Yamada <taro@x>", true, "\"Taro Yamada\""},
      {"taro@x (Taro)", true, "\"Taro\""},
      {"\"O'Brien\" <ob@x>", false, "OBrien"},
      {"taro@x", true, "\"taro@x\""},
      {"<taro@x>", true, "\"\""},
  };
  for (const auto& r : rows) EXPECT_EQ(DisplayNameOf(r.in, r.quotes), r.out) << r.in;
}

TEST(FormatAddressList, Table) {
  struct Row {
    const char* name;
    std::string in;
    std::string out;
  } rows[] = {
      {"bare address", "a@x", "\"a@x\" <a@x>"},
      {"name and address", "Taro <a@x>", "\"Taro\" <a@x>"},
      {"quoted names vanish", "\"Taro\" <a@x>, \"Hanako, H.\" <b@y>",
       "\"\" <a@x>, \"\" <b@y>"},
      {"comment as name", "a@x (Taro), b@y", "\"Taro\" <a@x>, \"b@y\" <b@y>"},
      {"unpaired quote goes alone", "Ta\"ro <a@x>", "\"Taro\" <a@x>"},
      {"last item decoded too", "a@x, " + kNihongoB + " <b@y>",
       "\"a@x\" <a@x>, \"日本語\" <b@y>"},
      {"group syntax is not understood", "Friends: a@x, b@y",
       "\"Friends: a@x\" <Friends: a@x>, \"b@y\" <b@y>"},
  };
  for (const auto& r : rows) EXPECT_EQ(FormatAddressList(r.in), r.out) << r.name;
}

TEST(RemoveChar, RemovesEveryOccurrence) {
  EXPECT_EQ(RemoveChar("\"a\"b\"\"c\"", '"'), "abc");
  EXPECT_EQ(RemoveChar("O'Brien's", '\''), "OBriens");
  EXPECT_EQ(RemoveChar("", 'x'), "");
}

TEST(IsSjisLead, CoversBothLeadRanges) {
  EXPECT_FALSE(IsSjisLead(0x80));
  EXPECT_TRUE(IsSjisLead(0x81));
  EXPECT_TRUE(IsSjisLead(0x9F));
  EXPECT_FALSE(IsSjisLead(0xA0));
  EXPECT_FALSE(IsSjisLead(0xDF));  // half-width katakana stand alone
  EXPECT_TRUE(IsSjisLead(0xE0));
  EXPECT_TRUE(IsSjisLead(0xFC));
  EXPECT_FALSE(IsSjisLead(0xFD));
}

// --- POP3 helpers -------------------------------------------------------------

TEST(IsDottedAddress, Table) {
  struct Row {
    const char* host;
    bool dotted;
  } rows[] = {
      {"127.0.0.1", true},   {"255.255.255.255", true}, {"0.0.0.0", true},
      {"256.0.0.1", false},  {"1.2.3", false},          {"1.2.3.4.5", false},
      {"1..3.4", false},     {"1.2.3.", false},         {"a.b.c.d", false},
      {"mail.example.jp", false}, {"", false},          {"1.2.3.-4", false},
      {"+1.2.3.4", false},   {" 1.2.3.4", false},
  };
  for (const auto& r : rows) EXPECT_EQ(IsDottedAddress(r.host), r.dotted) << r.host;
}

TEST(ExtractNumber, Table) {
  struct Row {
    const char* text;
    int index;
    int def;
    int want;
  } rows[] = {
      {"2 320", 1, 0, 2},          {"2 320", 2, 100, 320},
      {"  7   1200  ", 2, 0, 1200}, {"1", 2, 100, 100},
      {"no such message", 1, 0, 0}, {"", 1, 5, 5},
      {"-3 x", 1, 0, -3},          {"12abc", 1, 9, 9},
      {"99999999999", 1, 4, 4},    {"2147483647", 1, 0, 2147483647},
      {"1\t2", 1, 0, 0},  // only spaces separate words
  };
  for (const auto& r : rows) {
    EXPECT_EQ(ExtractNumber(r.text, r.index, r.def), r.want) << r.text << " #" << r.index;
  }
}

// --- files --------------------------------------------------------------------

TEST(ContentTypeOfFile, LooksUpTheExtension) {
  if (!std::filesystem::exists("/etc/mime.types")) {
    GTEST_SKIP() << "/etc/mime.types missing: install the Debian package media-types";
  }
  EXPECT_EQ(ContentTypeOfFile("report.pdf"), "application/pdf");
  EXPECT_EQ(ContentTypeOfFile("REPORT.PDF"), "application/pdf");
  EXPECT_EQ(ContentTypeOfFile("C:\\dir\\a.b\\note.txt"), "text/plain");
  EXPECT_EQ(ContentTypeOfFile("page.html"), "text/html");
}

TEST(ContentTypeOfFile, FallsBackToOctetStream) {
  EXPECT_EQ(ContentTypeOfFile("README"), "application/octet-stream");
  EXPECT_EQ(ContentTypeOfFile("name."), "application/octet-stream");
  EXPECT_EQ(ContentTypeOfFile("a.no-such-extension"), "application/octet-stream");
  EXPECT_EQ(ContentTypeOfFile(""), "application/octet-stream");
}

TEST(MakeTempFileName, CreatesAPrivateEmptyFileWithTheProgramsPrefix) {
  namespace fs = std::filesystem;
  const fs::path a = MakeTempFileName();
  const fs::path b = MakeTempFileName();
  EXPECT_NE(a, b);
  EXPECT_EQ(a.parent_path(), fs::temp_directory_path());
  EXPECT_EQ(a.filename().string().rfind("vek", 0), 0u);
  ASSERT_TRUE(fs::exists(a));
  EXPECT_EQ(fs::file_size(a), 0u);
  struct stat st {};
  ASSERT_EQ(stat(a.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  fs::remove(a);
  fs::remove(b);
}

TEST(MakeTempFile, HandsOverTheOpenDescriptorOfAPrivateTemporaryFile) {
  namespace fs = std::filesystem;
  const TempFile a = MakeTempFile();
  const TempFile b = MakeTempFile();
  EXPECT_NE(a.Path, b.Path);
  EXPECT_NE(a.Fd, b.Fd);
  EXPECT_EQ(fs::path(a.Path).parent_path(), fs::temp_directory_path());
  EXPECT_EQ(fs::path(a.Path).filename().string().rfind("vek", 0), 0u);
  ASSERT_GE(a.Fd, 0);
  // The descriptor is the named file, empty, private, and not inherited by
  // programs we start.
  struct stat byName {};
  struct stat byFd {};
  ASSERT_EQ(stat(a.Path.c_str(), &byName), 0);
  ASSERT_EQ(fstat(a.Fd, &byFd), 0);
  EXPECT_EQ(byName.st_ino, byFd.st_ino);
  EXPECT_EQ(byName.st_dev, byFd.st_dev);
  EXPECT_EQ(byFd.st_size, 0);
  EXPECT_EQ(byFd.st_mode & 0777, 0600u);
  EXPECT_NE(fcntl(a.Fd, F_GETFD) & FD_CLOEXEC, 0);
  EXPECT_EQ(fcntl(a.Fd, F_GETFL) & O_ACCMODE, O_RDWR);
  ASSERT_EQ(write(a.Fd, "abc", 3), 3);
  char back[4] = {};
  ASSERT_EQ(pread(a.Fd, back, 3, 0), 3);
  EXPECT_STREQ(back, "abc");
  EXPECT_EQ(fs::file_size(a.Path), 3u);
  close(a.Fd);
  close(b.Fd);
  fs::remove(a.Path);
  fs::remove(b.Path);
}

TEST(MakeTempFile, FailureRaisesNamingThePath) {
  namespace fs = std::filesystem;
  const char* old = std::getenv("TMPDIR");
  const std::string saved = old ? old : "";
  // Nobody, not even root, can create files in /proc.
  setenv("TMPDIR", "/proc", 1);
  for (int i = 0; i < 2; ++i) {
    try {
      if (i == 0)
        MakeTempFile();
      else
        MakeTempFileName();
      ADD_FAILURE() << "created a file in /proc";
    } catch (const fs::filesystem_error& e) {
      EXPECT_EQ(e.path1().parent_path(), "/proc");
      EXPECT_EQ(e.path1().filename().string().rfind("vek", 0), 0u);
      EXPECT_NE(e.code().value(), 0);
    }
  }
  if (old)
    setenv("TMPDIR", saved.c_str(), 1);
  else
    unsetenv("TMPDIR");
}

}  // namespace
}  // namespace pelnor
