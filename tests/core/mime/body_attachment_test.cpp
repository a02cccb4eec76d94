// The attachment decoders (base64, uuencode), their events and spool
// files, and MakeAttachment's encodings and names.

#include <gtest/gtest.h>

#include <filesystem>

#include "body_test_util.h"
#include "core/mime/mail_parser.h"
#include "core/mime/body_progress.h"
#include "core/text/japanese_code.h"
#include "core/text/sjis.h"
#include "support/temp_dir.h"

namespace pelnor {
namespace {

using testing::Base64Lines;
using testing::Bytes;
using testing::Lines;
using testing::UULines;

// Records the decode events of one parser as text, in order.
struct EventLog {
  std::vector<std::string> events;
  void Attach(MailParser& parser) {
    parser.OnDecodeStart = [this](const std::string& name, std::int32_t lines) {
      events.push_back("start " + name + " " + std::to_string(lines));
    };
    parser.OnDecodeProgress = [this](std::uint16_t p) {
      events.push_back(std::to_string(p));
    };
    parser.OnDecodeEnd = [this] { events.push_back("end"); };
  }
};

class AttachmentDecoding : public ::testing::Test {
 protected:
  std::string DecodeBase64(const Lines& lines) {
    AttachedFile& item = msg_.AttachedFiles.AddFile("f.bin");
    item.Lines = lines;
    parser_.DecodeBase64Attachment(item);
    return item.Data;
  }
  std::string DecodeUU(const Lines& lines) {
    AttachedFile& item = msg_.AttachedFiles.AddFile("f.bin");
    item.Lines = lines;
    parser_.DecodeUUAttachment(item);
    return item.Data;
  }
  static Lines UUBlock(const std::string& data, char zero = '`') {
    Lines lines{"begin 644 f.bin"};
    for (auto& l : UULines(data, zero)) lines.push_back(l);
    return lines;
  }

  test::PrivateTempDir tmp_;
  MailParser parser_;
  MailMessage msg_;
  EventLog log_;
};

// --- base64 --------------------------------------------------------------------

TEST_F(AttachmentDecoding, Base64RoundTripsEveryLengthAndLineWidth) {
  for (std::size_t size : {0u, 1u, 2u, 3u, 4u, 57u, 58u, 1000u, 70001u}) {
    const std::string data = Bytes(size, static_cast<unsigned>(size));
    for (std::size_t width : {76u, 64u, 4u, 7u}) {
      EXPECT_EQ(DecodeBase64(Base64Lines(data, width)), data)
          << "size " << size << " width " << width;
    }
  }
}

TEST_F(AttachmentDecoding, Base64IgnoresTrailingBlanksAndForeignCharacters) {
  const std::string data = Bytes(500, 3);
  Lines noisy;
  for (const auto& l : Base64Lines(data)) noisy.push_back(" " + l + " \t ");
  EXPECT_EQ(DecodeBase64(noisy), data);
  EXPECT_EQ(DecodeBase64({"QU-JD.", "!RE", "VG"}), "ABCDEF");
}

TEST_F(AttachmentDecoding, Base64GroupsRunAcrossLineEnds) {
  EXPECT_EQ(DecodeBase64({"QU", "JD", "RE", "VG"}), "ABCDEF");
}

TEST_F(AttachmentDecoding, Base64PaddingRules) {
  EXPECT_EQ(DecodeBase64({"QQ=="}), "A");
  EXPECT_EQ(DecodeBase64({"QUI="}), "AB");
  // Padding first and nowhere else: the group yields nothing.
  EXPECT_EQ(DecodeBase64({"=UJD"}), "");
  // Padding in the middle of the data does not end it.
  EXPECT_EQ(DecodeBase64({"QQ==QUJD"}), "AABC");
}

TEST_F(AttachmentDecoding, Base64DropsAnUnfinishedLastGroup) {
  EXPECT_EQ(DecodeBase64({"QUJDRE"}), "ABC");
}

TEST_F(AttachmentDecoding, Base64EventsStepThroughTheLines) {
  log_.Attach(parser_);
  DecodeBase64({"QUJD", "QUJD", "QUJD", "QUJD"});
  EXPECT_EQ(log_.events,
            (std::vector<std::string>{"start f.bin 4", "25", "50", "75", "100", "end"}));
  EXPECT_EQ(parser_.LastPercent(), 100);
}

TEST_F(AttachmentDecoding, Base64ProgressHonoursTheStep) {
  log_.Attach(parser_);
  parser_.DecodeProgressStep = 30;
  Lines lines(10, "QUJD");
  DecodeBase64(lines);
  EXPECT_EQ(log_.events,
            (std::vector<std::string>{"start f.bin 10", "30", "60", "90", "end"}));
}

TEST_F(AttachmentDecoding, Base64LineWithoutGroupGivesNoProgress) {
  log_.Attach(parser_);
  parser_.DecodeProgressStep = 50;
  // Line 2 (50 %) completes no group; line 3 does, at 75 %.
  DecodeBase64({"QUJD", "QU", "JD", "QUJD"});
  EXPECT_EQ(log_.events,
            (std::vector<std::string>{"start f.bin 4", "75", "100", "end"}));
}

TEST_F(AttachmentDecoding, EmptyAttachmentStillClosesWithHundredAndEnd) {
  log_.Attach(parser_);
  EXPECT_EQ(DecodeBase64({}), "");
  EXPECT_EQ(log_.events, (std::vector<std::string>{"start f.bin 0", "100", "end"}));
}

TEST_F(AttachmentDecoding, DecodersLeaveNoSpoolFile) {
  DecodeBase64(Base64Lines(Bytes(300000, 1)));
  DecodeUU(UUBlock(Bytes(3000, 2)));
  EXPECT_EQ(tmp_.FileCount(), 0u);
}

// --- uuencode --------------------------------------------------------------------

TEST_F(AttachmentDecoding, UURoundTripsWithGraveOrBlankForZero) {
  for (std::size_t size : {0u, 1u, 44u, 45u, 46u, 90u, 10000u}) {
    std::string data = Bytes(size, 7);
    for (std::size_t i = 0; i < data.size(); i += 5) data[i] = '\0';
    EXPECT_EQ(DecodeUU(UUBlock(data, '`')), data) << size;
    EXPECT_EQ(DecodeUU(UUBlock(data, ' ')), data) << size;
  }
}

TEST_F(AttachmentDecoding, UUFullLineReadsSixtyCharactersWhateverFollows) {
  const std::string data = Bytes(45, 9);
  Lines block = UUBlock(data);
  ASSERT_EQ(block[1][0], 'M');
  block[1] += "trailing junk that is never read";
  EXPECT_EQ(DecodeUU(block), data);
}

TEST_F(AttachmentDecoding, UUShortLineMissingBitsAreZero) {
  // Count 3 but only two characters: the missing bits read as zero.
  EXPECT_EQ(DecodeUU({"begin 644 f", "#04"}), std::string("A@\0", 3));
}

TEST_F(AttachmentDecoding, UUStopsAtEndAndAtGraveLine) {
  EXPECT_EQ(DecodeUU({"begin 644 f", "#04)#", "end", "#04)#"}), "ABC");
  EXPECT_EQ(DecodeUU({"begin 644 f", "#04)#", "`", "#04)#"}), "ABC");
  EXPECT_EQ(DecodeUU({"begin 644 f", "#04)#", "END ", "#04)#"}), "ABC");
}

TEST_F(AttachmentDecoding, UUEmptyFileDecodesToNothing) {
  EXPECT_EQ(DecodeUU({"begin 644 f", "end"}), "");
  EXPECT_EQ(DecodeUU({"begin 644 f"}), "");
  EXPECT_EQ(DecodeUU({"begin 644 f", "", "#04)#"}), "ABC");
}

TEST_F(AttachmentDecoding, UUBadCharacterEndsTheDataKeepingWhatCameBefore) {
  log_.Attach(parser_);
  EXPECT_EQ(DecodeUU({"begin 644 f", "#04)#", "#0a)#", "#04)#"}), "ABC");
  EXPECT_EQ(log_.events.back(), "end");
  EXPECT_EQ(log_.events[log_.events.size() - 2], "100");
  EXPECT_EQ(tmp_.FileCount(), 0u);
}

TEST_F(AttachmentDecoding, UUBadFirstLineDecodesToNothing) {
  EXPECT_EQ(DecodeUU({"begin 644 f", "~~~~", "#04)#"}), "");
}

TEST_F(AttachmentDecoding, UUProgressCountsFromLineOne) {
  log_.Attach(parser_);
  parser_.DecodeProgressStep = 20;
  Lines lines{"begin 644 f"};
  for (int i = 0; i < 4; ++i) lines.push_back("#04)#");
  DecodeUU(lines);
  // Lines 1-4 of 5: 20, 40, 60, 80; then the closing 100.
  EXPECT_EQ(log_.events,
            (std::vector<std::string>{"start f.bin 5", "20", "40", "60", "80", "100", "end"}));
}

// --- rounding ----------------------------------------------------------------------

TEST(RoundPercent, HalvesGoToEven) {
  EXPECT_EQ(RoundPercent(1 * 100, 8), 12);   // 12.5
  EXPECT_EQ(RoundPercent(3 * 100, 8), 38);   // 37.5
  EXPECT_EQ(RoundPercent(2 * 100, 3), 67);   // 66.67
  EXPECT_EQ(RoundPercent(1 * 100, 3), 33);
  EXPECT_EQ(RoundPercent(100, 200), 0);      // 0.5
  EXPECT_EQ(RoundPercent(300, 200), 2);      // 1.5
}

TEST(DecodeProgress, ReportsExactlyAsTheLiteralRuleForEveryLineCountAndStep) {
  // The literal rule: compute the percentage at every check and report when
  // it reaches the next step. The tracker skips the division when it can.
  for (std::size_t lines : {1u, 2u, 3u, 7u, 8u, 40u, 199u, 200u, 201u, 1000u, 3333u}) {
    for (std::uint16_t step : {0, 1, 3, 10, 25, 33, 50, 100, 150}) {
      std::vector<std::uint16_t> expected;
      std::uint32_t next = step;
      std::uint16_t expectedLast = 0;
      for (std::size_t line = 1; line <= lines; ++line) {
        const std::size_t checks = 1 + line % 3;
        const std::uint16_t percent = RoundPercent(line * 100, lines);
        expectedLast = percent;
        for (std::size_t c = 0; c < checks && percent >= next; ++c) {
          expected.push_back(percent);
          next += step;
        }
      }
      if (expectedLast < 100) expected.push_back(100);

      std::vector<std::uint16_t> reported;
      DecodeProgress::Report report = [&](std::uint16_t p) { reported.push_back(p); };
      std::uint16_t last = 0;
      DecodeProgress progress(step, lines, last, report);
      for (std::size_t line = 1; line <= lines; ++line) progress.Check(line, 1 + line % 3);
      progress.Finish();
      EXPECT_EQ(reported, expected) << lines << " lines, step " << step;
      EXPECT_EQ(last, expectedLast);
    }
  }
}

// --- MakeAttachment ----------------------------------------------------------------

class MakeAttachmentTest : public ::testing::Test {
 protected:
  AttachedFile& Make(Lines lines, const std::string& type, const std::string& encoding,
                      const std::string& name) {
    parser_.MakeAttachment(msg_, lines, type, encoding, name);
    return msg_.AttachedFiles.Items(msg_.AttachedFiles.Count() - 1);
  }
  test::PrivateTempDir tmp_;
  MailParser parser_;
  MailMessage msg_;
};

TEST_F(MakeAttachmentTest, Base64DecodesAndEmptiesLines) {
  const std::string data = Bytes(1000, 4);
  AttachedFile& item = Make(Base64Lines(data), "APPLICATION/PDF", "BASE64", "a.pdf");
  EXPECT_EQ(item.FileName, "a.pdf");
  EXPECT_EQ(item.Data, data);
  EXPECT_TRUE(item.Lines.empty());
}

TEST_F(MakeAttachmentTest, QuotedPrintableKeepsUnderscoreAndEndsWithCrLf) {
  AttachedFile& item =
      Make({"a_b=3D=", "c", "=E3=81=82"}, "TEXT/PLAIN", "QUOTED-PRINTABLE", "q.txt");
  EXPECT_EQ(item.Data, "a_b=c\r\n\xE3\x81\x82\r\n");
}

TEST_F(MakeAttachmentTest, OtherEncodingsStoreTheLinesWithCrLf) {
  EXPECT_EQ(Make({"x", "", "y"}, "TEXT/PLAIN", "8BIT", "t.txt").Data, "x\r\n\r\ny\r\n");
  EXPECT_EQ(Make({}, "TEXT/PLAIN", "WHATEVER", "e.txt").Data, "");
}

TEST_F(MakeAttachmentTest, HtmlWithoutNameIsNamedAfterTheSubject) {
  msg_.Subject = "Re: plan";
  EXPECT_EQ(Make({"<p>"}, "TEXT/HTML", "7BIT", "").FileName, "Re plan.html");
  msg_.Subject = "report.txt";
  EXPECT_EQ(Make({"<p>"}, "TEXT/HTML", "7BIT", "").FileName, "report.html");
  // A named HTML part keeps its name.
  EXPECT_EQ(Make({"<p>"}, "TEXT/HTML", "7BIT", "page.htm").FileName, "page.htm");
}

TEST_F(MakeAttachmentTest, ForbiddenCharactersLeaveTheNameButJapaneseSurvives) {
  EXPECT_EQ(Make({}, "X", "7BIT", "a<b>|c?.txt").FileName, "abc.txt");
  EXPECT_EQ(Make({}, "X", "7BIT", "ソフト表.txt").FileName, "ソフト表.txt");
}

}  // namespace
}  // namespace pelnor
