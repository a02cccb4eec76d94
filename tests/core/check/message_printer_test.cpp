#include "core/check/message_printer.h"

#include <gtest/gtest.h>

#include <fstream>

#include "core/text/sjis.h"
#include "support/files.h"
#include "support/recording_canvas.h"
#include "support/temp_dir.h"
#include "support/fixed_clock.h"

namespace pelnor {
namespace {

namespace fs = std::filesystem;
using test::FixedClock;
using test::RecordingCanvas;
using test::TempDir;

// Fixed metrics: text 40 high, so a line step is 40 + 40 div 3 = 53; "あ"
// is 20 wide, so the value column starts 120 right of the left margin.
constexpr int kStep = 53;
constexpr int kValueColumn = 200 + 6 * 20;

class PrintLayoutTest : public testing::Test {
 protected:
  TempDir dir;
  FixedClock clock{{2004, 12, 25, 15, 30, 4}};
  CommLog log{dir.Path() / "Log.txt", clock, [] { return true; }};
  RecordingCanvas canvas;
  MessagePrinter printer{canvas, log, clock, dir.Path()};
  MailMessage msg;
  Account account;
  std::vector<std::string> asked;  // "alias/id" the history was asked about

  void SetUp() override {
    account.Alias = "main";
    account.PaperIndex = 0;
    printer.WasOutput = [this](const std::string& alias, const MailMessage& m) {
      asked.push_back(alias + "/" + m.MessageId);
      return false;
    };
    msg.From = "山田 <yamada@example.jp>";
    msg.SendTo = "info@example.com";
    msg.Date = "Sat, 25 Dec 2004 15:29:58 +0900";
    msg.Subject = "見積";
    msg.MessageId = "<1@example.jp>";
  }

  std::string LogText() { return test::ReadBytesIfExists(dir.Path() / "Log.txt"); }

  // The drawn texts whose left edge is `x`, in order.
  std::vector<test::DrawnText> TextsAt(int x) const {
    std::vector<test::DrawnText> out;
    for (const auto& t : canvas.Texts)
      if (t.X == x) out.push_back(t);
    return out;
  }

  const test::DrawnText* Find(const std::string& text) const {
    for (const auto& t : canvas.Texts)
      if (t.Text == text) return &t;
    return nullptr;
  }
};

TEST_F(PrintLayoutTest, TitleAndRulesWithTheDefaultMargins) {
  ASSERT_TRUE(printer.PrintMessage(msg, account));
  const int right = canvas.Width - 200;

  ASSERT_FALSE(canvas.Texts.empty());
  const test::DrawnText& title = canvas.Texts[0];
  EXPECT_EQ(title.Text, "【 main 】");
  EXPECT_EQ(title.X, 200);
  EXPECT_EQ(title.Y, 200);

  // Heavy rule: five lines half a line below the title; light rule: three
  // lines after the four header fields. All from x = 200 to x = W - 200.
  ASSERT_EQ(canvas.Lines.size(), 8u);
  const int heavy = 200 + 40 + 20;
  const int light = 200 + 40 + kStep + 4 * kStep + 20;
  for (int i = 0; i < 8; ++i) {
    const test::DrawnLine& line = canvas.Lines[i];
    EXPECT_EQ(line.PenWidth, 2);
    EXPECT_EQ(line.X1, 200);
    EXPECT_EQ(line.X2, right);
    EXPECT_EQ(line.Y1, line.Y2);
    EXPECT_EQ(line.Y1, i < 5 ? heavy + i : light + i - 5) << "line " << i;
  }
}

TEST_F(PrintLayoutTest, HeaderBlockLabelsValuesAndPositions) {
  msg.Text = {"body"};
  ASSERT_TRUE(printer.PrintMessage(msg, account));
  const int first = 200 + 40 + kStep;
  struct {
    const char* Label;
    std::string Value;
  } rows[] = {{"送信者：", msg.From},
              {"宛先：", msg.SendTo},
              {"送信日時：", "平成16年12月25日（土）午後3時29分"},
              {"件名：", msg.Subject}};
  for (int i = 0; i < 4; ++i) {
    const test::DrawnText* label = Find(rows[i].Label);
    const test::DrawnText* value = Find(rows[i].Value);
    ASSERT_TRUE(label && value) << rows[i].Label;
    EXPECT_EQ(label->Y, first + i * kStep);
    EXPECT_EQ(label->Clip.Right, kValueColumn);  // six full-width characters
    EXPECT_EQ(value->X, kValueColumn);
    EXPECT_EQ(value->Y, label->Y);
  }
  const test::DrawnText* body = Find("body");
  ASSERT_TRUE(body);
  EXPECT_EQ(body->X, 200);
  EXPECT_EQ(body->Y, first + 4 * kStep + kStep);
  EXPECT_EQ(canvas.Events, (std::vector<std::string>{"select -1", "paper 9", "begin Pelnor",
                                                      "end", "paper 9"}));
}

TEST_F(PrintLayoutTest, TitleWiderThanThePageIsCutAtPrintRight) {
  account.Alias = std::string(1000, 'x');
  ASSERT_TRUE(printer.PrintMessage(msg, account));
  const test::DrawnText& title = canvas.Texts[0];
  EXPECT_EQ(title.Text, "【 " + account.Alias + " 】");  // not wrapped
  EXPECT_EQ(title.Clip.Left, 200);
  EXPECT_EQ(title.Clip.Right, canvas.Width - 200);
  EXPECT_EQ(title.Clip.Bottom, canvas.Height - 200);
}

TEST_F(PrintLayoutTest, ValueExactlyAsWideAsItsColumnTakesOneLine) {
  const int columnWidth = canvas.Width - 200 - kValueColumn;
  ASSERT_EQ(columnWidth % 10, 0);
  msg.Subject = std::string(columnWidth / 10, 's');
  msg.Text = {"body"};
  ASSERT_TRUE(printer.PrintMessage(msg, account));
  const test::DrawnText* subject = Find(msg.Subject);
  ASSERT_TRUE(subject);
  EXPECT_EQ(subject->Clip.Right, canvas.Width - 200);
  // The next thing below the subject is the body, one header step and the
  // rule's step further: no empty line in between.
  EXPECT_EQ(Find("body")->Y, subject->Y + 2 * kStep);
}

TEST_F(PrintLayoutTest, JapaneseSubjectWrapsBetweenWholeCharacters) {
  // The column is 4440 pixels: "a" and 221 double-byte characters fill
  // 4430 of it; the 222nd would need 20 more.
  std::string subject = "a";
  for (int i = 0; i < 230; ++i) subject += i % 2 ? "件" : "名";
  msg.Subject = subject;
  ASSERT_TRUE(printer.PrintMessage(msg, account));
  std::vector<test::DrawnText> values = TextsAt(kValueColumn);
  ASSERT_EQ(values.size(), 5u);  // from, to, date, two subject pieces
  EXPECT_EQ(values[3].Text.size(), 1u + 3 * 221);  // UTF-8: three bytes a character
  EXPECT_EQ(values[3].Text + values[4].Text, subject);
  EXPECT_EQ(values[4].Y, values[3].Y + kStep);
}

TEST_F(PrintLayoutTest, ThreeAttachmentsWithTheLabelOnTheFirstOnly) {
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) msg.AttachedFiles.AddFile(name);
  ASSERT_TRUE(printer.PrintMessage(msg, account));
  const int firstAttachment = 200 + 40 + kStep + 4 * kStep;
  std::vector<test::DrawnText> labels = TextsAt(200);
  // title, four labels, three attachment labels
  ASSERT_EQ(labels.size(), 8u);
  EXPECT_EQ(labels[5].Text, "添付：");
  EXPECT_EQ(labels[5].Y, firstAttachment);
  EXPECT_EQ(labels[6].Text, "");
  EXPECT_EQ(labels[7].Text, "");
  for (int i = 0; i < 3; ++i) {
    const test::DrawnText* name = Find(std::string(1, 'a' + i) + ".txt");
    ASSERT_TRUE(name);
    EXPECT_EQ(name->Y, firstAttachment + i * kStep);
  }
  // The light rule comes after the attachment lines.
  EXPECT_EQ(canvas.Lines[5].Y1, firstAttachment + 3 * kStep + 20);
}

TEST_F(PrintLayoutTest, NoAttachmentNoAttachmentLine) {
  ASSERT_TRUE(printer.PrintMessage(msg, account));
  EXPECT_EQ(Find("添付："), nullptr);
  EXPECT_EQ(TextsAt(200).size(), 5u);
}

TEST_F(PrintLayoutTest, AttachmentsAreSavedWhenTheAccountAsks) {
  account.SaveAttachments = true;
  account.AttachDir = (dir.Path() / "att/").string();
  account.DateSubDir = true;
  msg.AttachedFiles.AddFile("a.txt").Data = "hello";
  ASSERT_TRUE(printer.PrintMessage(msg, account));
  EXPECT_TRUE(fs::is_regular_file(dir.Path() / "att" / "0412251529" / "a.txt"));
}

TEST_F(PrintLayoutTest, AttachmentLinesNameTheFilesAsWritten) {
  account.SaveAttachments = true;
  account.AttachDir = (dir.Path() / "att/").string();
  msg.AttachedFiles.AddFile("a.txt").Data = "first";
  msg.AttachedFiles.AddFile("a.txt").Data = "second";
  AttachedFile& broken = msg.AttachedFiles.AddFile("b.txt");
  broken.FileName = "\x81.txt";  // a byte that is no UTF-8
  ASSERT_TRUE(printer.PrintMessage(msg, account));
  const int firstAttachment = 200 + 40 + kStep + 4 * kStep;
  const char* const printed[] = {"a.txt", "a (2).txt", "\uFFFD.txt"};
  for (int i = 0; i < 3; ++i) {
    const test::DrawnText* name = Find(printed[i]);
    ASSERT_TRUE(name) << printed[i];
    EXPECT_EQ(name->Y, firstAttachment + i * kStep);
  }
}

TEST_F(PrintLayoutTest, AttachmentsAreListedEvenWhenNotSaved) {
  msg.AttachedFiles.AddFile("a.txt").Data = "hello";
  ASSERT_TRUE(printer.PrintMessage(msg, account));
  EXPECT_NE(Find("a.txt"), nullptr);
  EXPECT_FALSE(fs::exists(dir.Path() / "a.txt"));
}

TEST_F(PrintLayoutTest, BodyBreaksAfterTheLineThatLeavesLessThanALine) {
  // Body starts at 611; lines step 53. Page bottom at 7016 - 200 = 6816.
  const int bodyTop = 200 + 40 + kStep + 4 * kStep + kStep;
  const int fit = (6816 - bodyTop - 40) / kStep + 1;  // lines before room < 40
  for (int i = 0; i < fit + 2; ++i) msg.Text.push_back("line " + std::to_string(i));
  ASSERT_TRUE(printer.PrintMessage(msg, account));

  const test::DrawnText* last = Find("line " + std::to_string(fit - 1));
  const test::DrawnText* next = Find("line " + std::to_string(fit));
  ASSERT_TRUE(last && next);
  EXPECT_EQ(last->Page, 1);
  EXPECT_GE(6816 - (last->Y + kStep), 0);
  EXPECT_LT(6816 - (last->Y + kStep), 40);  // left less than one line height
  EXPECT_EQ(next->Page, 2);
  EXPECT_EQ(next->Y, 200);  // MarginTop
  EXPECT_EQ(Find("line " + std::to_string(fit + 1))->Y, 200 + kStep);
}

TEST_F(PrintLayoutTest, BodyEndingAtTheBottomLeavesNoBlankPage) {
  const int bodyTop = 200 + 40 + kStep + 4 * kStep + kStep;
  const int fit = (6816 - bodyTop - 40) / kStep + 1;
  for (int i = 0; i < fit; ++i) msg.Text.push_back("line");
  ASSERT_TRUE(printer.PrintMessage(msg, account));
  EXPECT_EQ(std::count(canvas.Events.begin(), canvas.Events.end(), "newpage"), 0);
  EXPECT_EQ(canvas.Texts.back().Page, 1);
}

TEST_F(PrintLayoutTest, LongBodyLineWrapsAcrossPages) {
  // 4560 pixels of text width: 456 ASCII characters a line.
  msg.Text = {std::string(456 * 200, 'b')};
  ASSERT_TRUE(printer.PrintMessage(msg, account));
  std::vector<test::DrawnText> body = TextsAt(200);
  body.erase(body.begin(), body.begin() + 5);  // title and labels
  ASSERT_EQ(body.size(), 200u);
  std::string joined;
  for (const auto& t : body) joined += t.Text;
  EXPECT_EQ(joined, msg.Text[0]);
  EXPECT_GT(body.back().Page, 1);
  for (const auto& t : body) EXPECT_LE(t.Y + 40, 6816);
}

TEST_F(PrintLayoutTest, EmptyBodyLinesAdvanceOneLine) {
  msg.Text = {"a", "", "b"};
  ASSERT_TRUE(printer.PrintMessage(msg, account));
  EXPECT_EQ(Find("b")->Y, Find("a")->Y + 2 * kStep);
}

TEST_F(PrintLayoutTest, HeaderPastTheBottomStartsTheBodyOnANewPage) {
  canvas.Height = 1000;  // bottom at 800
  msg.SendTo = std::string(377 * 12, 't');  // twelve lines of recipients
  msg.Text = {"first body line"};
  ASSERT_TRUE(printer.PrintMessage(msg, account));
  const test::DrawnText* body = Find("first body line");
  ASSERT_TRUE(body);
  EXPECT_EQ(body->Page, 2);
  EXPECT_EQ(body->Y, 200);
}

TEST_F(PrintLayoutTest, MessageOutputBeforeIsSkippedWithoutAJob) {
  printer.WasOutput = [](const std::string&, const MailMessage&) { return true; };
  account.PaperIndex = 1;
  EXPECT_FALSE(printer.PrintMessage(msg, account));
  EXPECT_TRUE(canvas.Texts.empty());
  // Selected with its paper; nothing begun, paper not put back.
  EXPECT_EQ(canvas.Events, (std::vector<std::string>{"select -1", "paper 8"}));
  EXPECT_EQ(LogText(), "");
}

TEST_F(PrintLayoutTest, HistoryIsAskedWithAliasAndMessageId) {
  ASSERT_TRUE(printer.PrintMessage(msg, account));
  EXPECT_EQ(asked, (std::vector<std::string>{"main/<1@example.jp>"}));
}

TEST_F(PrintLayoutTest, NoPrinterFailsBeforeTheHistoryIsTouched) {
  canvas.PrinterNames.clear();
  EXPECT_THROW(printer.PrintMessage(msg, account), EPrinterError);
  EXPECT_TRUE(asked.empty());
}

TEST_F(PrintLayoutTest, PaperIsSelectedAndPutBack) {
  account.PrinterIndex = 1;
  account.PaperIndex = 2;
  ASSERT_TRUE(printer.PrintMessage(msg, account));
  EXPECT_EQ(canvas.Events,
            (std::vector<std::string>{"select 1", "paper 11", "begin Pelnor", "end", "paper 9"}));
  EXPECT_EQ(printer.SavedPaperSize, 9);
}

TEST_F(PrintLayoutTest, PaperIndexOutsideTheListKeepsTheDefaultPaper) {
  for (int index : {3, -1, 1000}) {
    canvas.Events.clear();
    canvas.Paper = 8;  // left over from an earlier selection
    printer.SelectPrinterPaper(0, index);
    EXPECT_EQ(canvas.Paper, 9) << index;
    EXPECT_EQ(canvas.Events, (std::vector<std::string>{"select 0"})) << index;
  }
}

TEST_F(PrintLayoutTest, PrinterIndexPastTheListSelectsTheDefault) {
  printer.SelectPrinterPaper(2, 0);
  EXPECT_EQ(canvas.Events.front(), "select -1");
}

TEST_F(PrintLayoutTest, FailureInsideTheJobAbortsItAndPutsThePaperBack) {
  account.PaperIndex = 1;
  canvas.FailOnTextNumber = 3;
  EXPECT_THROW(printer.PrintMessage(msg, account), EPrinterError);
  EXPECT_EQ(canvas.Events, (std::vector<std::string>{"select -1", "paper 8", "begin Pelnor",
                                                      "abort", "paper 9"}));
  EXPECT_EQ(LogText(), "");
  EXPECT_EQ(asked.size(), 1u);  // asked only: the cycle records after a whole job
}

TEST_F(PrintLayoutTest, UnwritableAttachmentAbortsTheJob) {
  account.SaveAttachments = true;
  std::ofstream(dir.Path() / "blocked") << "a file, not a directory";
  account.AttachDir = (dir.Path() / "blocked" / "").string();
  msg.AttachedFiles.AddFile("a.txt").Data = "x";
  EXPECT_THROW(printer.PrintMessage(msg, account), fs::filesystem_error);
  EXPECT_EQ(canvas.Events.back(), "paper 9");
  EXPECT_NE(std::find(canvas.Events.begin(), canvas.Events.end(), "abort"),
            canvas.Events.end());
}

TEST_F(PrintLayoutTest, UnreadableDateIsPrintedAsWritten) {
  msg.Date = "31 Foo 2004";
  ASSERT_TRUE(printer.PrintMessage(msg, account));
  const test::DrawnText* date = Find("31 Foo 2004");
  ASSERT_TRUE(date);
  EXPECT_EQ(date->X, kValueColumn);
}

TEST_F(PrintLayoutTest, LogLineOfAPrintedMessage) {
  ASSERT_TRUE(printer.PrintMessage(msg, account));
  EXPECT_EQ(LogText(), Sjis("2004/12/25 15:30:04 : [main]山田 [Sat, 25 Dec 2004 15:29:58 ]"
                            "<出力終了>\r\n"));
}

struct LogTextCase {
  const char* Name;
  const char* From;
  const char* Date;
  const char* Expected;
};

class OutputLogTextTable : public testing::TestWithParam<LogTextCase> {};

TEST_P(OutputLogTextTable, CutsFromAndDate) {
  MailMessage m;
  m.From = GetParam().From;
  m.Date = GetParam().Date;
  EXPECT_EQ(OutputLogText("main", m), Sjis(GetParam().Expected));
}

INSTANTIATE_TEST_SUITE_P(
    Examples, OutputLogTextTable,
    testing::Values(
        LogTextCase{"BlanksBeforeBracketAndPlusKept", "山田 <y@example.jp>",
                     "Sat, 25 Dec 2004 15:29:58 +0900",
                     "[main]山田 [Sat, 25 Dec 2004 15:29:58 ]"},
        // Log.txt stays Shift_JIS: what it cannot hold becomes 〓.
        LogTextCase{"UnicodeOnlyCharactersBecomeGeta", "山田😀𠮷 <y@example.jp>",
                     "Sat, 25 Dec 2004 15:29:58 +0900",
                     "[main]山田〓〓 [Sat, 25 Dec 2004 15:29:58 ]"},
        LogTextCase{"MinusZoneKept", "Bob <b@example.com>", "Sat, 25 Dec 2004 15:29:58 -0500",
                     "[main]Bob [Sat, 25 Dec 2004 15:29:58 -0500]"},
        LogTextCase{"ZoneNameKept", "Bob <b@example.com>", "Sat, 25 Dec 2004 15:29:58 JST",
                     "[main]Bob [Sat, 25 Dec 2004 15:29:58 JST]"},
        LogTextCase{"BareAddressWhole", "b@example.com", "Sat, 25 Dec 2004 15:29:58 +0900",
                     "[main]b@example.com[Sat, 25 Dec 2004 15:29:58 ]"},
        LogTextCase{"AddressOnlyInBrackets", "<b@example.com>", "", "[main][]"}),
    [](const testing::TestParamInfo<LogTextCase>& info) { return info.param.Name; });

}  // namespace
}  // namespace pelnor
