// DecodeBody over whole mails (header included): text, inline uuencode,
// quoted-printable and base64 text, multiparts, embedded messages.

#include <gtest/gtest.h>

#include <chrono>

#include "body_test_util.h"
#include "core/mime/mail_parser.h"
#include "support/temp_dir.h"

namespace pelnor {
namespace {

using testing::Base64Lines;
using testing::Bytes;
using testing::Lines;
using testing::UULines;

Lines Concat(std::initializer_list<Lines> pieces) {
  Lines all;
  for (const Lines& p : pieces) all.insert(all.end(), p.begin(), p.end());
  return all;
}

class DecodeBodyTest : public ::testing::Test {
 protected:
  MailMessage& Decode(Lines lines, const std::string& subject = "") {
    msg_.Subject = subject;
    parser_.DecodeBody(msg_, lines);
    return msg_;
  }
  const AttachedFile& Att(int i) { return msg_.AttachedFiles.Items(i); }

  test::PrivateTempDir tmp_;
  MailParser parser_;
  MailMessage msg_;
};

// --- single-part text ----------------------------------------------------------

TEST_F(DecodeBodyTest, PlainTextLosesHeaderAndLeadingBlanksOnly) {
  Decode({"Subject: hi", "", "", "line 1", "", "line 3", ""});
  EXPECT_EQ(msg_.Text, (Lines{"line 1", "", "line 3", ""}));
  EXPECT_EQ(msg_.AttachedFiles.Count(), 0);
}

TEST_F(DecodeBodyTest, QuotedPrintableSoftBreakJoinsAndUnderscoreStays) {
  Decode({"Content-Transfer-Encoding: quoted-printable", "", "snake_case is jo=",
          "ined =3D one line", "second"});
  EXPECT_EQ(msg_.Text, (Lines{"snake_case is joined = one line", "second"}));
}

TEST_F(DecodeBodyTest, Base64TextBodyIsDecodedIntoLines) {
  Decode(Concat({{"Content-Type: text/plain", "Content-Transfer-Encoding: base64", ""},
                 Base64Lines("first\r\nsecond\nthird\r\n", 8)}));
  EXPECT_EQ(msg_.Text, (Lines{"first", "second", "third"}));
}

TEST_F(DecodeBodyTest, AnyTypeContainingTextIsText) {
  Decode({"Content-Type: text/x-log", "", "log line"});
  EXPECT_EQ(msg_.Text, (Lines{"log line"}));
}

TEST_F(DecodeBodyTest, LineOfBlanksInHeaderLeavesLaterHeaderLinesInTheBody) {
  // FindHeader reads past the blank line and finds the encoding; StripHeader
  // stops there, so the later header lines are body text.
  Decode({"Subject: x", "   ", "Content-Transfer-Encoding: quoted-printable", "", "a=3Db"});
  EXPECT_EQ(msg_.Text,
            (Lines{"Content-Transfer-Encoding: quoted-printable", "", "a=b"}));
}

// --- inline uuencode -------------------------------------------------------------

TEST_F(DecodeBodyTest, InlineUUBlockBecomesAnAttachmentAndEndStays) {
  const std::string data = Bytes(200, 11);
  Decode(Concat({{"Subject: file", "", "Here it is:", "begin 644 data.bin"},
                 UULines(data),
                 {"`", "end", "Bye."}}));
  EXPECT_EQ(msg_.Text, (Lines{"Here it is:", "end", "Bye."}));
  ASSERT_EQ(msg_.AttachedFiles.Count(), 1);
  EXPECT_EQ(Att(0).FileName, "data.bin");
  EXPECT_EQ(Att(0).Data, data);
}

TEST_F(DecodeBodyTest, SeveralUUBlocksWithBlankLinesInsideAndAMissingEnd) {
  const std::string a = Bytes(100, 1);
  const std::string b = Bytes(50, 2);
  Lines encodedA = UULines(a);
  encodedA.insert(encodedA.begin() + 1, "");  // a blank line inside the block
  Decode(Concat({{"", "begin 644 a.bin"}, encodedA, {"END", "middle", "begin 600 b.bin"},
                 UULines(b)}));
  EXPECT_EQ(msg_.Text, (Lines{"END", "middle"}));
  ASSERT_EQ(msg_.AttachedFiles.Count(), 2);
  EXPECT_EQ(Att(0).Data, a);
  EXPECT_EQ(Att(1).FileName, "b.bin");
  EXPECT_EQ(Att(1).Data, b);
}

TEST_F(DecodeBodyTest, AfterAUUBlockTheTextIsNotQuotedPrintableDecoded) {
  Decode(Concat({{"Content-Transfer-Encoding: quoted-printable", "", "a=3Db",
                  "begin 644 x.bin"},
                 UULines("xyz"),
                 {"end"}}));
  EXPECT_EQ(msg_.Text, (Lines{"a=3Db", "end"}));
  EXPECT_EQ(Att(0).Data, "xyz");
}

TEST_F(DecodeBodyTest, UndecodableUUBlockStaysText) {
  Decode({"", "begin 644 x.bin", "#ab{", "end"});
  EXPECT_EQ(msg_.Text, (Lines{"begin 644 x.bin", "#ab{", "end"}));
  EXPECT_EQ(msg_.AttachedFiles.Count(), 0);
  EXPECT_EQ(tmp_.FileCount(), 0u);
}

// --- multipart -----------------------------------------------------------------

TEST_F(DecodeBodyTest, AlternativeGivesPlainTextAndHtmlNamedAfterSubject) {
  Decode({"Content-Type: multipart/alternative; boundary=\"b\"", "", "--b",
          "Content-Type: text/plain", "", "plain body", "--b",
          "Content-Type: text/html; charset=us-ascii", "Content-Transfer-Encoding: quoted-printable",
          "", "<p>html=", " body</p>", "--b--"},
         "Offer: 50%");
  EXPECT_EQ(msg_.Text, (Lines{"plain body"}));
  ASSERT_EQ(msg_.AttachedFiles.Count(), 1);
  EXPECT_EQ(Att(0).FileName, "Offer 50%.html");
  EXPECT_EQ(Att(0).Data, "<p>html body</p>\r\n");
}

TEST_F(DecodeBodyTest, NestedAlternativeIsFlattenedInDocumentOrder) {
  const std::string png = Bytes(300, 5);
  Decode(Concat({{"Content-Type: multipart/mixed; boundary=o", "", "--o",
                  "Content-Type: multipart/alternative; boundary=i", "", "--i", "", "first",
                  "--i", "Content-Type: text/html", "", "<b>second</b>", "--i--", "--o",
                  "Content-Type: image/png; name=p.png", "Content-Transfer-Encoding: base64",
                  ""},
                 Base64Lines(png),
                 {"--o", "", "after the attachment", "--o--"}}),
         "News");
  EXPECT_EQ(msg_.Text, (Lines{"first", "after the attachment"}));
  ASSERT_EQ(msg_.AttachedFiles.Count(), 2);
  EXPECT_EQ(Att(0).FileName, "News.html");
  EXPECT_EQ(Att(0).Data, "<b>second</b>\r\n");
  EXPECT_EQ(Att(1).FileName, "p.png");
  EXPECT_EQ(Att(1).Data, png);
}

TEST_F(DecodeBodyTest, PartWithoutContentTypeAfterAnAttachmentIsText) {
  Decode({"Content-Type: multipart/mixed; boundary=b", "", "--b",
          "Content-Type: application/zip; name=z.zip", "Content-Transfer-Encoding: base64", "",
          "UEsD", "--b", "Content-Disposition: inline", "", "just text", "--b--"});
  ASSERT_EQ(msg_.AttachedFiles.Count(), 1);
  EXPECT_EQ(Att(0).Data, "PK\x03");
  EXPECT_EQ(msg_.Text, (Lines{"just text"}));
}

TEST_F(DecodeBodyTest, UnnamedNonTextPartIsAppendedAsDecodedBytes) {
  Decode({"Content-Type: multipart/related; boundary=b", "", "--b",
          "Content-Type: image/gif", "Content-Transfer-Encoding: base64", "",
          "R0lGODlh", "--b--"});
  EXPECT_EQ(msg_.AttachedFiles.Count(), 0);
  EXPECT_EQ(msg_.Text, (Lines{"GIF89a"}));
}

TEST_F(DecodeBodyTest, TextPartsAreNotSearchedForUUBlocks) {
  Decode({"Content-Type: multipart/mixed; boundary=b", "", "--b", "", "begin 644 x.bin",
          "#>'EZ", "end", "--b--"});
  EXPECT_EQ(msg_.AttachedFiles.Count(), 0);
  EXPECT_EQ(msg_.Text, (Lines{"begin 644 x.bin", "#>'EZ", "end"}));
}

TEST_F(DecodeBodyTest, XUUEncodePartIsAnAttachmentEvenWithoutName) {
  const std::string data = Bytes(100, 6);
  Decode(Concat({{"Content-Type: multipart/mixed; boundary=b", "", "--b",
                  "Content-Type: application/octet-stream", "Content-Transfer-Encoding: x-uuencode",
                  "", "begin 644 ignored.bin"},
                 UULines(data),
                 {"`", "end", "--b--"}}));
  ASSERT_EQ(msg_.AttachedFiles.Count(), 1);
  EXPECT_EQ(Att(0).FileName, "");
  EXPECT_EQ(Att(0).Data, data);
}

TEST_F(DecodeBodyTest, MultipartWithoutBoundaryYieldsNothing) {
  Decode({"Content-Type: multipart/mixed", "", "--", "text", "--b", "more"});
  EXPECT_TRUE(msg_.Text.empty());
  EXPECT_EQ(msg_.AttachedFiles.Count(), 0);
}

TEST_F(DecodeBodyTest, EmptyPartsBetweenDelimitersYieldNothing) {
  Decode({"Content-Type: multipart/mixed; boundary=b", "", "--b", "--b", "--b", "", "x",
          "--b", "--b--"});
  EXPECT_EQ(msg_.Text, (Lines{"x"}));
  EXPECT_EQ(msg_.AttachedFiles.Count(), 0);
}

// --- embedded messages and other single parts -------------------------------------

TEST_F(DecodeBodyTest, Rfc822MailShowsTheEmbeddedBodyWithoutItsHeader) {
  Decode({"Content-Type: message/rfc822", "", "From: a@b", "Subject: inner",
          "Content-Transfer-Encoding: quoted-printable", "", "inner=20body"});
  EXPECT_EQ(msg_.Text, (Lines{"inner body"}));
}

TEST_F(DecodeBodyTest, Rfc822PartInMultipartIsDecodedByItsOwnHeader) {
  Decode({"Content-Type: multipart/mixed; boundary=b", "", "--b", "", "outer text", "--b",
          "Content-Type: message/rfc822", "", "Subject: inner",
          "Content-Type: multipart/alternative; boundary=c", "", "--c", "", "inner text",
          "--c", "Content-Type: text/html", "", "<i>x</i>", "--c--", "--b--"},
         "S");
  EXPECT_EQ(msg_.Text, (Lines{"outer text", "inner text"}));
  ASSERT_EQ(msg_.AttachedFiles.Count(), 1);
  EXPECT_EQ(Att(0).FileName, "S.html");
}

TEST_F(DecodeBodyTest, EncodedNonTextMailIsOneAttachmentEvenWithoutName) {
  Decode({"Content-Type: application/pdf", "Content-Transfer-Encoding: base64", "", "JVBERi0="});
  ASSERT_EQ(msg_.AttachedFiles.Count(), 1);
  EXPECT_EQ(Att(0).FileName, "");
  EXPECT_EQ(Att(0).Data, "%PDF-");
  EXPECT_TRUE(msg_.Text.empty());
}

TEST_F(DecodeBodyTest, UnknownEncodingOfNonTextIsKeptAsText) {
  Decode({"Content-Type: application/octet-stream", "Content-Transfer-Encoding: 8bit", "",
          "raw=3D"});
  EXPECT_EQ(msg_.Text, (Lines{"raw=3D"}));
  EXPECT_EQ(msg_.AttachedFiles.Count(), 0);
}

TEST_F(DecodeBodyTest, HostileRfc822NestingIsKeptAsTextInsteadOfCrashing) {
  Lines lines;
  for (int i = 0; i < 20000; ++i) {
    lines.push_back("Content-Type: message/rfc822");
    lines.push_back("");
  }
  lines.push_back("bottom");
  Decode(lines);
  ASSERT_FALSE(msg_.Text.empty());
  EXPECT_EQ(msg_.Text.back(), "bottom");
}

TEST_F(DecodeBodyTest, DecodersPumpTheUserInterfaceOnLongAttachments) {
  int pumps = 0;
  parser_.OnProcessMessages = [&] { ++pumps; };
  const std::string data = Bytes(8 << 20, 3);
  const auto start = std::chrono::steady_clock::now();
  Decode(Concat({{"Content-Type: application/octet-stream", "Content-Transfer-Encoding: base64",
                  ""},
                 Base64Lines(data)}));
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(Att(0).Data, data);
  EXPECT_GE(pumps, 1);
  // Throttled: never more often than the interval allows.
  EXPECT_LE(pumps, elapsed / std::chrono::milliseconds(20) + 1);
}

}  // namespace
}  // namespace pelnor
