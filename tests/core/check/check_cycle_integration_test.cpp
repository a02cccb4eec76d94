// One check cycle end to end: a real Dovecot mailbox with Japanese mail and
// an attachment, the real POP3 client, the Qt printing layer's built-in PDF
// printer, the real history and log files. The PDFs are read back with
// pdftotext.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "cycle_rig.h"
#include "support/dovecot_fixture.h"
#include "support/files.h"
#include "support/pdf_probe.h"
#include "support/test_process.h"
#include "core/store/digit_file.h"
#include "core/store/history.h"
#include "support/test_mails.h"
#include "support/temp_dir.h"

namespace pelnor::test {
namespace {

using ::testing::AllOf;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using ::testing::UnorderedElementsAre;

std::string FilesUnder(const std::filesystem::path& dir) {
  std::string names;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir))
    names += entry.path().lexically_relative(dir).string() + "\n";
  return names;
}

TEST(CheckCycleIntegration, DovecotMailComesOutAsPdfOnceWithItsAttachment) {
  if (DovecotServer::BinaryPath().empty())
    GTEST_SKIP() << "*** dovecot is NOT installed (dovecot-pop3d): test did not run ***";
  if (!HavePopplerTools()) GTEST_SKIP() << "*** poppler-utils NOT installed: test did not run ***";

  DovecotServer server;
  server.AddUser("taro", "secret");
  server.Deliver("taro", JapaneseMail("山田太郎", "yamada@example.jp", "テスト送信です",
                                      {"こんにちは。", "本文の二行目です。"}));
  const std::string data("binary\0bytes\xff", 13);
  server.Deliver("taro", "Date: Sat, 25 Dec 2004 15:29:58 +0900\r\n" +
                             MailWithAttachment("添付ファイル", "資料を送ります。", "資料.txt", data));
  server.Start();

  TempDir dir("pelnor-cycle-");
  const std::filesystem::path attach = dir.Path() / "attach";
  CycleRig rig(dir.Path(), server.Port());
  const int pdfPrinter = static_cast<int>(rig.Canvas().Printers().size()) - 1;
  ASSERT_EQ(rig.Canvas().Printers()[pdfPrinter], Sjis("PDF出力"));
  rig.Accounts().Add(rig.Record("会社", pdfPrinter, attach));

  rig.Cycle().OnCheckTimer();

  const std::vector<std::string> log = rig.LogLines();
  ASSERT_EQ(log.size(), 2u) << ::testing::PrintToString(log) << server.LogText();
  EXPECT_THAT(log, UnorderedElementsAre(
                       AllOf(StartsWith("[会社]山田太郎"),
                             EndsWith("[Tue, 8 Dec 2026 09:00:00 ]<出力終了>")),
                       "[会社]hanako@example.jp[Sat, 25 Dec 2004 15:29:58 ]<出力終了>"));

  const std::vector<std::filesystem::path> pdfs = rig.PdfFiles();
  ASSERT_EQ(pdfs.size(), 2u);
  std::string plain = PdfToText(pdfs[0]);
  std::string withFile = PdfToText(pdfs[1]);
  if (plain.find("添付") != std::string::npos) std::swap(plain, withFile);
  EXPECT_THAT(plain, AllOf(HasSubstr("【 会社 】"), HasSubstr("送信者："), HasSubstr("山田太郎"),
                           HasSubstr("宛先："), HasSubstr("taro@example.jp"),
                           HasSubstr("送信日時："), HasSubstr("令和8年12月8日"),
                           HasSubstr("件名："), HasSubstr("テスト送信です"),
                           HasSubstr("こんにちは。"), HasSubstr("本文の二行目です。")))
      << plain;
  EXPECT_THAT(withFile, AllOf(HasSubstr("【 会社 】"), HasSubstr("平成16年12月25日"),
                              HasSubstr("添付ファイル"), HasSubstr("添付："),
                              HasSubstr("資料.txt"), HasSubstr("資料を送ります。")))
      << withFile;

  EXPECT_EQ(ReadBytesIfExists(attach / "0412251529" / "資料.txt"), data) << FilesUnder(attach);

  const std::string dirText = dir.Path().string() + "/";
  auto history = ReadDigitFile(HistoryPath(dirText, Sjis("会社")));
  ASSERT_TRUE(history.has_value());
  EXPECT_THAT(*history, UnorderedElementsAre(HasSubstr("@example.jp>"), "<attach@example.jp>"));
  EXPECT_EQ(server.CountMails("taro"), 2);  // no delete option

  // Nothing new: no printout, no log line, the history as it was.
  rig.Cycle().OnCheckTimer();
  EXPECT_EQ(rig.PdfFiles().size(), 2u);
  EXPECT_EQ(rig.LogLines(), log);
  EXPECT_EQ(ReadDigitFile(HistoryPath(dirText, Sjis("会社"))), history);
  EXPECT_TRUE(rig.Tray().IsEnabled);
  EXPECT_FALSE(rig.Tray().IsAnimating);
  EXPECT_FALSE(rig.Cycle().Running());
}

// A mail as Gmail and Outlook send it today: UTF-8 sender and subject, a
// base64 UTF-8 body, an RFC 2231 file name. The printout reads as written,
// the attachment is saved under its name, Log.txt stays Shift_JIS with 〓
// for what it cannot hold, and the next check prints it no more.
TEST(CheckCycleIntegration, Utf8MailComesOutAsWritten) {
  if (DovecotServer::BinaryPath().empty())
    GTEST_SKIP() << "*** dovecot is NOT installed (dovecot-pop3d): test did not run ***";
  if (!HavePopplerTools()) GTEST_SKIP() << "*** poppler-utils NOT installed: test did not run ***";

  DovecotServer server;
  server.AddUser("taro", "secret");
  server.Deliver(
      "taro",
      "From: =?UTF-8?B?" + Base64("Müller 𠮷田") + "?= <muller@example.de>\r\n"
      "To: taro@example.jp\r\n"
      "Subject: =?UTF-8?B?" + Base64("Grüße ① 報告書") + "?=\r\n"
      "Date: Wed, 9 Dec 2026 10:00:00 +0900\r\n"
      "Message-ID: <utf8@example.de>\r\n"
      "MIME-Version: 1.0\r\n"
      "Content-Type: multipart/mixed; boundary=\"b\"\r\n\r\n"
      "--b\r\nContent-Type: text/plain; charset=UTF-8\r\n"
      "Content-Transfer-Encoding: base64\r\n\r\n" + Base64("本文です。Ça va? Привет\r\n") +
      "\r\n--b\r\nContent-Type: application/pdf\r\n"
      "Content-Disposition: attachment; filename*=UTF-8''%E5%A0%B1%E5%91%8A.pdf\r\n"
      "Content-Transfer-Encoding: base64\r\n\r\n" + Base64("%PDF") + "\r\n--b--\r\n");
  server.Start();

  TempDir dir("pelnor-cycle-utf8-");
  const std::filesystem::path attach = dir.Path() / "attach";
  CycleRig rig(dir.Path(), server.Port());
  rig.Accounts().Add(rig.Record("会社", static_cast<int>(rig.Canvas().Printers().size()) - 1, attach));

  rig.Cycle().OnCheckTimer();

  const std::vector<std::string> log = rig.LogLines();
  ASSERT_EQ(log.size(), 1u) << ::testing::PrintToString(log) << server.LogText();
  EXPECT_EQ(log[0], "[会社]M〓ller 〓田[Wed, 9 Dec 2026 10:00:00 ]<出力終了>");
  ASSERT_EQ(rig.PdfFiles().size(), 1u);
  const std::string printed = PdfToText(rig.PdfFiles()[0]);
  EXPECT_THAT(printed, AllOf(HasSubstr("Müller"), HasSubstr("Grüße ① 報告書"),
                             HasSubstr("本文です。Ça va? Привет"), HasSubstr("報告.pdf")))
      << printed;
  EXPECT_EQ(ReadBytesIfExists(attach / "2612091000" / "報告.pdf"), "%PDF") << FilesUnder(attach);

  rig.Cycle().OnCheckTimer();
  EXPECT_EQ(rig.PdfFiles().size(), 1u);
  EXPECT_EQ(rig.LogLines(), log);
}

// Deletion after output over the real POP3 client: each mail's DELE follows
// its output, spares the mail whose printout failed, and QUIT commits it. A
// second account with a wrong password ends each cycle with the server's
// refusal and "ログインエラー" in the log.
TEST(CheckCycleIntegration, DovecotKeepsTheMailWhoseOutputFailedAndItComesOutNextCycle) {
  if (DovecotServer::BinaryPath().empty())
    GTEST_SKIP() << "*** dovecot is NOT installed (dovecot-pop3d): test did not run ***";
  DovecotServer server;
  server.AddUser("taro", "secret");
  for (const char* subject : {"S-1", "S-2", "S-3"})
    server.Deliver("taro", JapaneseMail("Taro", "taro@example.jp", subject, {"body"}));
  server.Start();

  TempDir dir("pelnor-cycle-delete-");
  LocalClock clock;
  CommLog log(dir.Path() / "Log.txt", clock, [] { return true; });
  JammingCanvas canvas;
  MessagePrinter printer(canvas, log, clock, dir.Path());
  AccountList accounts;
  accounts.Add("a|1|127.0.0.1|taro|secret|0|0|Gothic|[]|10|1||1|0|0");
  accounts.Add("b|1|127.0.0.1|taro|wrong|0|0|Gothic|[]|10|1||1|0|0");
  FakeTray tray;
  FakeTimer timer;
  std::string wire;
  CheckCycle cycle(accounts, dir.Path().string() + "/", canvas, printer, log, tray, timer, [&] {
    auto pop = std::make_unique<Pop3SessionClient>(nullptr, std::to_string(server.Port()));
    pop->Pop().OnWireLog = [&](const std::string& line) {
      if (line.rfind("--> ", 0) == 0) wire += line.substr(4, line.find('\r') - 4) + ";";
    };
    return pop;
  });
  auto printed = [&] {
    std::string subjects;
    for (const DrawnText& text : canvas.Texts)
      if (text.Text.rfind("S-", 0) == 0) subjects += text.Text + " ";
    return subjects;
  };

  canvas.JamOn = "S-2";
  cycle.OnCheckTimer();
  EXPECT_EQ(printed(), "S-1 S-3 ");
  EXPECT_THAT(wire, HasSubstr("STAT;UIDL;LIST 1;RETR 1;DELE 1;LIST 2;RETR 2;LIST 3;RETR 3;DELE 3;QUIT;"))
      << wire;
  EXPECT_EQ(server.CountMails("taro"), 1) << server.LogText();
  const std::string logText = SjisToUtf8(ReadBytes(dir.Path() / "Log.txt"));
  EXPECT_THAT(logText, AllOf(HasSubstr("printer jammed<エラー発生>\r\n"),
                             HasSubstr("Authentication failed.<エラー発生>\r\n"),
                             EndsWith(" : [b]ログインエラー<エラー発生>\r\n")))
      << logText;
  EXPECT_TRUE(tray.IsEnabled);
  EXPECT_TRUE(timer.IsEnabled);

  canvas.JamOn.clear();
  wire.clear();
  cycle.OnCheckTimer();
  EXPECT_EQ(printed(), "S-1 S-3 S-2 ");
  EXPECT_THAT(wire, HasSubstr("STAT;UIDL;LIST 1;RETR 1;DELE 1;QUIT;")) << wire;
  EXPECT_EQ(server.CountMails("taro"), 0);
}

std::string PlainMailFrom(const std::string& from, const std::string& subject) {
  return "From: " + from + "\r\nTo: taro@example.jp\r\nSubject: " + subject +
         "\r\nMessage-ID: <" + subject + "@example.jp>\r\n"
         "Date: Sat, 25 Dec 2004 15:29:58 +0900\r\n\r\nbody of " + subject + "\r\n";
}

// The session lines Dovecot logged at each logout ("top=0/0, retr=0/0, ...").
std::vector<std::string> LogoutLines(const DovecotServer& server) {
  std::vector<std::string> lines;
  std::istringstream log(server.LogText());
  for (std::string line; std::getline(log, line);)
    if (line.find("Disconnected: Logged out") != std::string::npos)
      lines.push_back(line.substr(line.find("top=")));
  return lines;
}

// A mailbox kept on the server costs a listing per check: the sender filter
// reads the header of a new mail only (TOP), a wanted mail is fetched whole
// once, and a check with nothing new leaves Dovecot nothing to send but
// the listing. A mail printed before the program kept unique-ids (it is in
// the history) is fetched once more but not printed again.
TEST(CheckCycleIntegration, DovecotSendsEachMailOnceAndOnlyWantedMailWhole) {
  if (DovecotServer::BinaryPath().empty())
    GTEST_SKIP() << "*** dovecot is NOT installed (dovecot-pop3d): test did not run ***";
  DovecotServer server;
  server.AddUser("taro", "secret");
  server.Deliver("taro", PlainMailFrom("Boss <boss@example.jp>", "S-1"));
  server.Deliver("taro", PlainMailFrom("<news@other.jp>", "S-2"));
  server.Deliver("taro", PlainMailFrom("Boss <boss@example.jp>", "S-3"));
  server.Start();

  TempDir dir("pelnor-cycle-uidl-");
  const std::string dirText = dir.Path().string() + "/";
  ASSERT_TRUE(IsNewMessage(dirText, "a", "<S-1@example.jp>"));  // printed long ago
  LocalClock clock;
  CommLog log(dir.Path() / "Log.txt", clock, [] { return true; });
  JammingCanvas canvas;
  MessagePrinter printer(canvas, log, clock, dir.Path());
  AccountList accounts;
  accounts.Add("a|1|127.0.0.1|taro|secret|0|0|Gothic|[]|10|1||1|1|1|boss@example.jp");
  FakeTray tray;
  FakeTimer timer;
  std::string wire;
  CheckCycle cycle(accounts, dirText, canvas, printer, log, tray, timer, [&] {
    auto pop = std::make_unique<Pop3SessionClient>(nullptr, std::to_string(server.Port()));
    pop->Pop().OnWireLog = [&](const std::string& line) {
      if (line.rfind("--> ", 0) == 0) wire += line.substr(4) + ";";
    };
    return pop;
  });
  auto printed = [&] {
    std::string subjects;
    for (const DrawnText& text : canvas.Texts)
      if (text.Text.rfind("S-", 0) == 0) subjects += text.Text + " ";
    return subjects;
  };

  cycle.OnCheckTimer();
  EXPECT_EQ(wire, "USER taro;PASS ****;STAT;UIDL;LIST 1;TOP 1 0;LIST 2;TOP 2 0;LIST 3;TOP 3 0;"
                  "LIST 1;RETR 1;LIST 3;RETR 3;QUIT;");
  EXPECT_EQ(printed(), "S-3 ");

  wire.clear();
  cycle.OnCheckTimer();
  EXPECT_EQ(wire, "USER taro;PASS ****;STAT;UIDL;QUIT;");

  server.Deliver("taro", PlainMailFrom("Boss <boss@example.jp>", "S-4"));
  wire.clear();
  cycle.OnCheckTimer();
  EXPECT_EQ(wire, "USER taro;PASS ****;STAT;UIDL;LIST 4;TOP 4 0;LIST 4;RETR 4;QUIT;");
  EXPECT_EQ(printed(), "S-3 S-4 ");
  EXPECT_EQ(server.CountMails("taro"), 4);

  const std::vector<std::string> sessions = LogoutLines(server);
  ASSERT_EQ(sessions.size(), 3u) << server.LogText();
  EXPECT_THAT(sessions[0], StartsWith("top=3/")) << sessions[0];
  EXPECT_THAT(sessions[0], HasSubstr("retr=2/"));
  EXPECT_THAT(sessions[1], StartsWith("top=0/0, retr=0/0,")) << sessions[1];
  EXPECT_THAT(sessions[2], StartsWith("top=1/")) << sessions[2];
  EXPECT_THAT(sessions[2], HasSubstr("retr=1/"));
}

}  // namespace
}  // namespace pelnor::test
