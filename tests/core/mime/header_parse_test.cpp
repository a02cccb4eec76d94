// Header parsing and the finishing step, on header blocks as mail brings them.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "core/mime/encoded_words.h"
#include "core/mime/mail_parser.h"
#include "mail_pipeline.h"
#include "core/text/japanese_code.h"

#include "core/text/sjis.h"

namespace pelnor {
namespace {

using Lines = std::vector<std::string>;

const std::string kNihongoB = "=?ISO-2022-JP?B?GyRCRnxLXDhsGyhC?=";       // 日本語
const std::string kYamadaB = "=?iso-2022-jp?B?GyRCOzNFREJATzobKEI=?=";    // 山田太郎
const std::string kYamadaJis = "\x1b$B;3EDB@O:\x1b(B";

std::unique_ptr<MailMessage> Parsed(const Lines& headers) {
  auto msg = std::make_unique<MailMessage>();
  msg->Headers = headers;
  MailParser::ParseHeader(*msg);
  return msg;
}

TEST(ParseHeader, FillsEveryFieldOfARealHeader) {
  const auto msg = Parsed({
      "Return-Path: <bounce@example.jp>",
      "Received: from mx.example.jp by pop.example.jp; Tue, 8 Dec 2026 09:00:00 +0900",
      "Message-ID: <20261208.abc@example.jp>",
      "Date: Tue, 8 Dec 2026 09:00:00 +0900",
      "From: " + kYamadaB + " <yamada@example.jp>",
      "Sender: list@example.jp",
      "Reply-To: reply@example.jp",
      "To: Taro <taro@example.jp>",
      "Cc: \"Hanako\" <hanako@example.jp>",
      "In-Reply-To: <prev@example.jp>",
      "Subject: " + kNihongoB,
      "MIME-Version: 1.0",
      "Content-Type: multipart/mixed; boundary=\"b1\"",
      "Content-Transfer-Encoding: 7bit",
  });
  EXPECT_EQ(msg->ReturnPath, "<bounce@example.jp>");
  EXPECT_EQ(msg->MessageId, "<20261208.abc@example.jp>");
  EXPECT_EQ(msg->Date, "Tue, 8 Dec 2026 09:00:00 +0900");
  EXPECT_EQ(msg->From, "山田太郎 <yamada@example.jp>");
  EXPECT_EQ(msg->Sender, "\"list@example.jp\" <list@example.jp>");
  EXPECT_EQ(msg->ReplyTo, "reply@example.jp");
  EXPECT_EQ(msg->SendTo, "Taro<taro@example.jp>");
  EXPECT_EQ(msg->CC, "\"\" <hanako@example.jp>");
  EXPECT_EQ(msg->InReplyTo, "<prev@example.jp>");
  EXPECT_EQ(msg->Subject, "日本語");
  EXPECT_EQ(msg->ContentType, "MULTIPART/MIXED");
  EXPECT_EQ(msg->ContentTransferEncoding, "7BIT");
}

TEST(ParseHeader, DefaultsWithoutContentHeaders) {
  const auto msg = Parsed({"From: a@x", "Subject: hi"});
  EXPECT_EQ(msg->ContentType, "TEXT/PLAIN");
  EXPECT_EQ(msg->ContentTransferEncoding, "7BIT");
}

TEST(ParseHeader, ContentValuesAreUpperCasedAndCutAtTheFirstSemicolon) {
  const auto msg = Parsed({"content-type: Text/Html; charset=iso-2022-jp",
                              "Content-Transfer-Encoding: Quoted-Printable"});
  EXPECT_EQ(msg->ContentType, "TEXT/HTML");
  EXPECT_EQ(msg->ContentTransferEncoding, "QUOTED-PRINTABLE");
}

TEST(ParseHeader, ValuesEndBeforeTheirFirstSemicolon) {
  const auto msg = Parsed({"Message-ID: <id@x>; extra", "Date: Mon, 7 Dec 2026; x",
                              "Subject: part one; part two"});
  EXPECT_EQ(msg->MessageId, "<id@x>");
  EXPECT_EQ(msg->Date, "Mon, 7 Dec 2026");
  EXPECT_EQ(msg->Subject, "part one");
}

TEST(ParseHeader, FoldedSubjectIsJoinedWithoutTheFoldingBlank) {
  const auto msg = Parsed({"Subject: Monthly", "  report", "\tfor December"});
  EXPECT_EQ(msg->Subject, "Monthlyreportfor December");
}

TEST(ParseHeader, FoldedEncodedWordsDecodeAcrossTheFold) {
  const auto msg = Parsed({"Subject: =?ISO-2022-JP?B?GyRCRnxLXBsoQg==?=",
                              " =?ISO-2022-JP?B?GyRCOGwbKEI=?="});
  EXPECT_EQ(msg->Subject, "日本語");
}

TEST(ParseHeader, EnvelopeLineIsTheSenderWithoutAFromField) {
  const auto msg = Parsed({"From sender@example.jp Tue Dec  8 09:00:00 2026",
                              "Subject: s"});
  EXPECT_EQ(msg->From, "sender@example.jp Tue Dec  8 09:00:00 2026");

  const std::string longLine = "From " + std::string(100, 'a');
  EXPECT_EQ(Parsed({longLine})->From, std::string(72, 'a'));
  EXPECT_EQ(Parsed({"X: y"})->From, "");
  EXPECT_EQ(Parsed({})->From, "");
}

TEST(ParseHeader, FromFieldWinsOverTheEnvelopeLine) {
  const auto msg = Parsed({"From sender@example.jp Tue Dec  8 09:00:00 2026",
                              "From: Taro <taro@example.jp>"});
  EXPECT_EQ(msg->From, "Taro <taro@example.jp>");
}

TEST(ParseHeader, MissingFieldsKeepTheirValues) {
  MailMessage msg;
  msg.Subject = "kept";
  msg.MessageId = "<kept@x>";
  msg.Headers = {"Date: d"};
  MailParser::ParseHeader(msg);
  EXPECT_EQ(msg.Subject, "kept");
  EXPECT_EQ(msg.MessageId, "<kept@x>");
  EXPECT_EQ(msg.Date, "d");
}

TEST(ParseHeader, OnlyTheHeaderBlockIsRead) {
  const auto msg = Parsed({"From: a@x", "", "Subject: in the body"});
  EXPECT_EQ(msg->Subject, "");
}

TEST(ParseHeader, KeysMatchWholeFieldNamesOnly) {
  const auto msg = Parsed({"Reply-To: r@x", "X-To: x@x", "Resent-Date: old",
                              "Message-ID-Extra: no", "To: t@x"});
  EXPECT_EQ(msg->SendTo, "t@x");
  EXPECT_EQ(msg->ReplyTo, "r@x");
  EXPECT_EQ(msg->Date, "");
}

TEST(ParseHeader, UnknownEncodingLetterIsKept) {
  EXPECT_EQ(Parsed({"Subject: =?utf-8?X?abc?= ok"})->Subject, "=?utf-8?X?abc?= ok");
}

TEST(ParseHeader, BrokenEncodedWordLeavesTheRestAsItIs) {
  EXPECT_EQ(Parsed({"Subject: " + kNihongoB + " =?iso-2022-jp?B?GyRC"})->Subject,
            "日本語 =?iso-2022-jp?B?GyRC");
}

// --- To: and Cc: address lists ----------------------------------------------------

TEST(ToField, Table) {
  struct Row {
    const char* name;
    std::string to;
    std::string want;
  } rows[] = {
      {"bare address", "taro@x", "taro@x"},
      {"name directly before the bracket", "Taro Yamada <taro@x>", "Taro Yamada<taro@x>"},
      {"two items keep the blank after the comma", "Taro <t@x>, Hanako <h@y>",
       "Taro<t@x>, Hanako<h@y>"},
      {"quotes dropped, quoted text kept", "\"Taro\" <t@x>", "Taro<t@x>"},
      {"Japanese name", kYamadaB + " <y@x>", "山田太郎<y@x>"},
      {"Japanese names in a list", kYamadaB + " <y@x>, " + kNihongoB + " <n@x>",
       "山田太郎<y@x>, 日本語<n@x>"},
      {"bracket first", "<t@x>", "<t@x>"},
      {"bare addresses in a list", "a@x,b@y ,c@z", "a@x,b@y,c@z"},
      {"comma in a quoted name splits", "\"Yamada, Taro\" <t@x>", "Yamada, Taro<t@x>"},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(Parsed({"To: " + r.to})->SendTo, r.want) << r.name;
  }
}

TEST(CcField, Table) {
  struct Row {
    const char* name;
    std::string cc;
    std::string want;
  } rows[] = {
      {"quoted names become empty quotes", "\"Taro\" <t@x>, \"Hanako\" <h@y>",
       "\"\" <t@x>, \"\" <h@y>"},
      {"bare addresses repeat as names", "t@x, h@y", "\"t@x\" <t@x>, \"h@y\" <h@y>"},
      {"comment is the name", "t@x (Taro)", "\"Taro\" <t@x>"},
      {"encoded name in the last item", "t@x, " + kNihongoB + " <n@x>",
       "\"t@x\" <t@x>, \"日本語\" <n@x>"},
      {"group ends at its semicolon", "team: t@x, h@y; ", "\"team: t@x\" <team: t@x>, \"h@y\" <h@y>"},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(Parsed({"Cc: " + r.cc})->CC, r.want) << r.name;
  }
}

TEST(ConvertAddress, NameAndAddressPartsAreConvertedSeparately) {
  EXPECT_EQ(MailParser::ConvertAddress(kYamadaB + "   <y@x>"), "山田太郎<y@x>");
  EXPECT_EQ(MailParser::ConvertAddress(kYamadaJis + " <y@x>"), "山田太郎<y@x>");
  EXPECT_EQ(MailParser::ConvertAddress("y@x"), "y@x");
  EXPECT_EQ(MailParser::ConvertAddress(""), "");
}

TEST(DecodeWords, JisWordsAndRawJisBecomeUtf8) {
  EXPECT_EQ(DecodeWords(kNihongoB + ".txt"), "日本語.txt");
  EXPECT_EQ(DecodeWords(kYamadaJis), "山田太郎");
  EXPECT_EQ(DecodeWords("plain.txt"), "plain.txt");
}

// --- finishing step ------------------------------------------------------------

TEST(DecodedBody, JisBodyBecomesUtf8LineForLine) {
  MailParser parser;
  const auto msg = testing::DecodeMail(
      parser, Lines{"Subject: x", "", "\x1b$B$3$s$K$A$O\x1b(B", "", "ascii line", kYamadaJis});
  EXPECT_EQ(msg->Text, (Lines{"こんにちは", "", "ascii line", "山田太郎"}));
}

TEST(DecodedBody, BodiesWithoutCharsetAreReadAsTheirBytesTell) {
  const std::string euc = "\xc6\xfc\xcb\xdc\xb8\xec";
  const std::string old = "\x1b$@F|K\\8l\x1b(B";  // ESC $@
  const std::string sjis = "\x93\xfa\x96\x7b\x8c\xea";
  for (const std::string& body : {euc, old, sjis, std::string("\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e")}) {
    MailParser parser;
    const auto msg = testing::DecodeMail(parser, Lines{"Subject: x", "", body, ""});
    EXPECT_EQ(msg->Text, (Lines{"日本語", ""})) << body;
  }
}

TEST(Finish, JapaneseSendersLoseTheBlankBeforeTheBracket) {
  MailMessage msg;
  msg.Subject = kNihongoB;  // a word DecodeWords could not take apart earlier
  msg.From = "山田太郎 <y@x>";
  msg.ReplyTo = "山田太郎 <r@x>";
  MailParser::Finish(msg);
  EXPECT_EQ(msg.Subject, kNihongoB);  // untouched
  EXPECT_EQ(msg.From, "山田太郎<y@x>");
  EXPECT_EQ(msg.ReplyTo, "山田太郎<r@x>");
}

TEST(Finish, AsciiSenderKeepsItsBlankBeforeTheBracket) {
  MailMessage msg;
  msg.Headers = {"From: Taro <taro@x>", "Subject: " + kNihongoB};
  MailParser::ParseHeader(msg);
  MailParser::Finish(msg);
  EXPECT_EQ(msg.From, "Taro <taro@x>");
  EXPECT_EQ(msg.Subject, "日本語");
}

TEST(Finish, JapaneseSenderLosesTheBlankBeforeTheBracket) {
  MailMessage msg;
  msg.Headers = {"From: " + kYamadaB + " <y@x>"};
  MailParser::ParseHeader(msg);
  MailParser::Finish(msg);
  EXPECT_EQ(msg.From, "山田太郎<y@x>");
}

TEST(Finish, RawJisSubjectIsConverted) {
  MailMessage msg;
  msg.Headers = {"Subject: \x1b$B7oL>\x1b(B"};  // 件名, sent unencoded
  MailParser::ParseHeader(msg);
  MailParser::Finish(msg);
  EXPECT_EQ(msg.Subject, "件名");
}

TEST(RawJisHeaders, SurviveTrimmingAndSemicolonCutting) {
  // Old Japanese mailers send ISO-2022-JP unencoded. The leading ESC is a
  // control character and ";" (0x3B) is the first byte of 山 (";3").
  MailMessage msg;
  msg.Headers = {"Subject: \x1b$B;3ED\x1b(B; note", "From: \x1b$B;3ED\x1b(B <y@x>",
                 "Reply-To: r@x", " \x1b$B;3ED\x1b(B"};  // folded line starting with ESC
  MailParser::ParseHeader(msg);
  MailParser::Finish(msg);
  EXPECT_EQ(msg.Subject, "山田");
  EXPECT_EQ(msg.ReplyTo, "r@x山田");
  EXPECT_EQ(msg.From, "山田<y@x>");
}

// --- the decoders' event pump -----------------------------------------------------

TEST(ParserPump, ProcessesMessagesDuringLongDecodesButNotPerLine) {
  MailParser parser;
  int pumps = 0;
  parser.OnProcessMessages = [&] { ++pumps; };
  MailMessage msg;
  AttachedFile& item = msg.AttachedFiles.AddFile("big.bin");
  item.Lines.assign(200000, std::string(76, 'A'));  // 11 MB of zero bytes

  const auto start = std::chrono::steady_clock::now();
  parser.DecodeBase64Attachment(item);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now() - start)
                      .count();

  EXPECT_EQ(item.Data, std::string(200000 * 57, '\0'));
  // At most one pump per interval (the coarse clock may round 20 ms down to
  // 16), never one per line.
  EXPECT_LE(pumps, ms / 16 + 1) << ms << " ms";
  if (ms >= 100) {
    EXPECT_GE(pumps, 1) << ms << " ms";
  }
}

}  // namespace
}  // namespace pelnor
