// The built program as a user runs it: a fresh program directory, a private
// X desktop with trayer as the tray (or none), Dovecot on 127.0.0.1:110 and a
// private CUPS whose default queue keeps every job as a PDF. Only the outside
// is looked at: print jobs, files in the program directory, the mailboxes,
// the windows, the lock and the process itself.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <regex>

#include "support/dovecot_fixture.h"
#include "e2e_rig.h"
#include "support/cups_fixture.h"
#include "support/pdf_probe.h"
#include "core/text/sjis.h"
#include "support/test_process.h"
#include "core/store/digit_codec.h"
#include "core/store/digit_file.h"
#include "core/store/history.h"
#include "support/test_certificates.h"
#include "support/test_mails.h"
#include "support/x11_desktop.h"
#include "support/temp_dir.h"

namespace pelnor::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::UnorderedElementsAre;

const std::string kAttachment("見積\0data\xff\r\n", 14);

// The Message-ID header value of a built mail.
std::string IdOf(const std::string& mail) {
  const std::string field = "Message-ID: ";
  const auto start = mail.find(field) + field.size();
  return mail.substr(start, mail.find("\r\n", start) - start);
}

// 会社 saves attachments into dated folders and keeps its mail; 自宅 prints
// only its boss and its friends' domain and deletes what it fetched. Both
// print on printer 99, beyond the list: the system default.
std::string UserInf(const fs::path& attachDir) {
  const std::string company = Sjis("会社") + "|1|127.0.0.1|taro|secret|99|0|IPAGothic|[]|10|0|" +
                              attachDir.string() + "/|0|1|0";
  const std::string home = Sjis("自宅") +
                           "|1|127.0.0.1|hanako|himitsu|99|0|IPAGothic|[]|10|1||1|0|1|"
                           "boss@example.jp|friend.example";
  return EncodeDigits(company) + "\r\n" + EncodeDigits(home) + "\r\n";
}

std::string IniText(int interval) {
  return "[File]\r\nTime=" + std::to_string(interval) +
         "\r\n[Config]\r\nCH2=1\r\n[System]\r\nFirstStart=0\r\nversion=1.7\r\n";
}

// The keys it holds are rewritten where they stand; the others follow in
// the order of the exit save.
std::string SavedIniText(int interval) {
  return "[File]\r\nTime=" + std::to_string(interval) +
         "\r\n[Config]\r\nCH2=1\r\nRA1=1\r\nRA2=0\r\n"
         "[System]\r\nFirstStart=0\r\nversion=1.7\r\n"
         "[Print]\r\nLeft=200\r\nRight=200\r\nTop=200\r\nBottom=200\r\n"
         "[Ploxy]\r\nAdress=\r\nPort=\r\n";
}

int Count(const std::string& text, const std::string& piece) {
  int count = 0;
  for (auto at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++count;
  return count;
}

class PelnorEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const std::string missing = MissingForWholeProgram(); !missing.empty())
      GTEST_SKIP() << "*** " << missing << ": test did not run ***";
    if (testing::RunProgram({"sh", "-c", "command -v Xvfb && command -v trayer"}) != 0)
      GTEST_SKIP() << "*** Xvfb or trayer NOT installed: test did not run ***";

    cups_ = std::make_unique<CupsFixture>("pelnor-e2e");
    dovecot_.SetPort(110);
    dovecot_.AddUser("taro", "secret");
    dovecot_.AddUser("hanako", "himitsu");
    dovecot_.Start();

    // Another build of the program may be tried without rebuilding the test.
    const char* other = std::getenv("PELNOR_E2E_EXECUTABLE");
    program_ = std::make_unique<ProgramDirFixture>(base_.Path(), other ? other : PELNOR_EXECUTABLE);
    fs::create_directory(AttachDir());
    WriteBytes(program_->Dir() / "User.inf", UserInf(AttachDir()));
  }

  fs::path AttachDir() const { return program_->Dir() / "attach"; }

  void StartDesktop(bool withTray) {
    std::string whyNot;
    desktop_ = testing::X11Desktop::Start(whyNot, withTray);
    ASSERT_TRUE(desktop_) << "no test desktop: " << whyNot;
    // trayer must own the tray before the program looks for one.
    if (withTray) {
      ASSERT_TRUE(TrayRuns());
    }
  }

  static bool TrayRuns() {
    return WaitUntil(
        [] { return Xdotool({"search", "--onlyvisible", "--class", "trayer"}).has_value(); }, 10s);
  }

  std::unique_ptr<ChildProcess> StartProgram(const std::string& logName) {
    std::vector<std::string> environment = program_->Environment();
    for (const std::string& extra : extraEnvironment_) {
      const std::string name = extra.substr(0, extra.find('=') + 1);
      std::erase_if(environment, [&](const std::string& e) { return e.rfind(name, 0) == 0; });
      environment.push_back(extra);
    }
    return std::make_unique<ChildProcess>(std::vector<std::string>{program_->Executable().string()},
                                           environment, base_.Path() / logName);
  }

  std::string Diagnostics() const {
    return "\n--- program ---\n" + ReadBytesIfExists(base_.Path() / "pelnor-1.out") +
           ReadBytesIfExists(base_.Path() / "pelnor-2.out") +
           ReadBytesIfExists(base_.Path() / "pelnor-3.out") +
           "\n--- Log.txt ---\n" + SjisToUtf8(ReadBytesIfExists(program_->Dir() / "Log.txt")) +
           "\n--- dovecot ---\n" + dovecot_.LogText();
  }

  int Logins(const std::string& user) const {
    return Count(dovecot_.LogText(), "Login: user=<" + user + ">");
  }

  // Each job's text; the jobs are waited for, at most 30 s.
  std::vector<std::string> JobTexts(std::size_t count) const {
    std::vector<std::string> texts;
    for (const fs::path& job : cups_->WaitForJobs(count, 30s)) texts.push_back(PdfToText(job));
    return texts;
  }

  // Opens the tray menu and clicks its first or last item.
  void ChooseFromTrayMenu(pid_t pid, bool last) {
    const auto menu = OpenTrayMenu(pid, 20s);
    ASSERT_TRUE(menu.has_value()) << "the tray menu did not open" << Diagnostics();
    const int y = last ? menu->Y + menu->Height - 10 : menu->Y + 10;
    ASSERT_TRUE(ClickAt(menu->X + menu->Width / 2, y, 1));
  }

  // "ﾒｰﾙﾁｪｯｸ" until `user` logs in once more (a click while a check runs is
  // ignored).
  void CheckNow(pid_t pid, const std::string& user) {
    const int before = Logins(user);
    for (int attempt = 0; attempt < 4 && Logins(user) == before; ++attempt) {
      ASSERT_NO_FATAL_FAILURE(ChooseFromTrayMenu(pid, /*last=*/false));
      WaitUntil([&] { return Logins(user) > before; }, 8s);
    }
    ASSERT_GT(Logins(user), before) << "ﾒｰﾙﾁｪｯｸ did not check" << Diagnostics();
  }

  // Temporary files the program left in its TMPDIR.
  std::vector<std::string> TemporaryFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(base_.Path() / "tmp"))
      names.push_back(entry.path().filename().string());
    return names;
  }

  void QuitFromTray(ChildProcess& program) {
    ChooseFromTrayMenu(program.Pid(), /*last=*/true);
    ASSERT_TRUE(WaitUntil([&] { return !program.Running(); }, 15s)) << "終了 did not end it";
    EXPECT_EQ(program.Wait(), 0) << Diagnostics();
    EXPECT_FALSE(fs::exists(program_->LockFile()));
  }

  std::unique_ptr<testing::X11Desktop> desktop_;
  std::unique_ptr<CupsFixture> cups_;
  DovecotServer dovecot_;
  TempDir base_{"pelnor-e2e-"};
  std::unique_ptr<ProgramDirFixture> program_;
  std::vector<std::string> extraEnvironment_;
};

TEST_F(PelnorEndToEnd, PrintsWantedMailOnceRefusesASecondStartAndIsRunFromItsTrayMenu) {
  const std::string meeting =
      JapaneseMail("山田太郎", "yamada@example.jp", "会議の案内", {"明日の会議は十時からです。"});
  const std::string quote = "Date: Sat, 25 Dec 2004 15:29:58 +0900\r\n" +
                            MailWithAttachment("見積書の送付", "見積書を添付します。",
                                               "見積書.txt", kAttachment);
  const std::string boss =
      JapaneseMail("上司", "boss@example.jp", "至急確認のお願い", {"資料を確認してください。"});
  const std::string advert =
      JapaneseMail("業者", "ad@other.example", "広告のお知らせ", {"特売のご案内です。"});
  const std::string friendMail =
      JapaneseMail("友人", "tomo@friend.example", "週末の予定", {"土曜日に会いましょう。"});
  for (const std::string* mail : {&meeting, &quote}) dovecot_.Deliver("taro", *mail);
  for (const std::string* mail : {&boss, &advert, &friendMail}) dovecot_.Deliver("hanako", *mail);
  WriteBytes(program_->Dir() / "Defult.ini", IniText(600000));
  ASSERT_NO_FATAL_FAILURE(StartDesktop(/*withTray=*/true));

  // --- checks from the menu ---------------------------------------------------
  auto first = StartProgram("pelnor-1.out");
  ASSERT_TRUE(WaitUntil([&] { return TrayIconOf(first->Pid()).has_value(); }, 20s)) << Diagnostics();
  ASSERT_NO_FATAL_FAILURE(CheckNow(first->Pid(), "hanako"));
  ASSERT_TRUE(WaitUntil([&] { return program_->OutputLogLines().size() >= 4 || !first->Running(); },
                        40s))
      << Diagnostics();
  ASSERT_TRUE(first->Running()) << Diagnostics();
  const std::vector<std::string> jobs = JobTexts(4);

  // Two more cycles over the same mailboxes print nothing again.
  ASSERT_NO_FATAL_FAILURE(CheckNow(first->Pid(), "hanako"));
  ASSERT_NO_FATAL_FAILURE(CheckNow(first->Pid(), "hanako"));
  EXPECT_EQ(cups_->Jobs().size(), 4u);

  for (const char* subject : {"会議の案内", "見積書の送付", "至急確認のお願い", "週末の予定"}) {
    int printed = 0;
    for (const std::string& job : jobs) printed += Count(job, subject) > 0 ? 1 : 0;
    EXPECT_EQ(printed, 1) << subject;
  }
  for (const std::string& job : jobs) {
    EXPECT_THAT(job, Not(HasSubstr("広告"))) << job;
    if (job.find("会議の案内") != std::string::npos) {
      EXPECT_THAT(job, AllOf(HasSubstr("【 会社 】"), HasSubstr("山田太郎"),
                             HasSubstr("明日の会議は十時からです。")));
    }
    if (job.find("見積書の送付") != std::string::npos) {
      EXPECT_THAT(job, AllOf(HasSubstr("添付："), HasSubstr("見積書.txt"),
                             HasSubstr("見積書を添付します。")));
    }
    if (job.find("週末の予定") != std::string::npos) {
      EXPECT_THAT(job, AllOf(HasSubstr("【 自宅 】"), HasSubstr("土曜日に会いましょう。")));
    }
  }

  const std::vector<std::string> log = program_->OutputLogLines();
  const std::regex stamp(R"(^\d{4}/\d{1,2}/\d{1,2} \d{1,2}:\d{2}:\d{2} : \[.*)");
  for (const std::string& line : log) EXPECT_TRUE(std::regex_match(line, stamp)) << line;
  auto entry = [](const std::string& text) { return HasSubstr(" : " + text); };
  EXPECT_THAT(log, UnorderedElementsAre(entry("[会社]山田太郎"),
                                        entry("[会社]hanako@example.jp[Sat, 25 Dec 2004 15:29:58 ]"),
                                        entry("[自宅]上司"), entry("[自宅]友人")));
  const std::string logBytes = ReadBytes(program_->Dir() / "Log.txt");
  EXPECT_EQ(Count(logBytes, Sjis("<出力終了>\r\n")), 4) << "Log.txt is not Shift_JIS with CR LF";
  EXPECT_EQ(Count(logBytes, "出力"), 0) << "Log.txt holds UTF-8";

  EXPECT_EQ(ReadBytes(AttachDir() / "0412251529" / "見積書.txt"), kAttachment);
  const std::string dir = program_->Dir().string() + "/";
  EXPECT_THAT(ReadDigitFile(HistoryPath(dir, Sjis("会社"))).value_or(std::vector<std::string>{}),
              UnorderedElementsAre(IdOf(meeting), IdOf(quote)));
  EXPECT_THAT(ReadDigitFile(HistoryPath(dir, Sjis("自宅"))).value_or(std::vector<std::string>{}),
              UnorderedElementsAre(IdOf(boss), IdOf(friendMail)));
  EXPECT_EQ(dovecot_.CountMails("taro"), 2);
  EXPECT_EQ(dovecot_.CountMails("hanako"), 0);

  // --- a second start -------------------------------------------------------
  const std::string lockBefore = ReadBytes(program_->LockFile());
  ASSERT_THAT(lockBefore, ::testing::StartsWith(std::to_string(first->Pid()) + "\n"));
  {
    auto second = StartProgram("pelnor-2.out");
    std::optional<WindowBox> warning;
    ASSERT_TRUE(WaitUntil(
        [&] {
          if (!second->Running()) return true;
          for (const WindowBox& box : VisibleWindowsOf(second->Pid()))
            if (WindowName(box.Id).find("警告") != std::string::npos) warning = box;
          return warning.has_value();
        },
        15s));
    EXPECT_TRUE(warning.has_value()) << "no 警告 box" << Diagnostics();
    EXPECT_EQ(ReadBytes(program_->LockFile()), lockBefore);
    EXPECT_FALSE(TrayIconOf(second->Pid()).has_value());
    // Closing the box ends the refused start by itself.
    if (warning) {
      Xdotool({"windowfocus", std::to_string(warning->Id)});
      Xdotool({"key", "Return"});
      EXPECT_TRUE(WaitUntil([&] { return !second->Running(); }, 5s)) << "the box stayed";
      if (!second->Running()) {
        EXPECT_EQ(second->Wait(), 0);
      }
    }
    second->Stop(2s);
  }
  EXPECT_TRUE(first->Running());
  EXPECT_EQ(ReadBytes(program_->LockFile()), lockBefore);
  EXPECT_EQ(program_->OutputLogLines().size(), 4u);

  // --- 終了 -----------------------------------------------------------------
  ASSERT_NO_FATAL_FAILURE(QuitFromTray(*first));
  EXPECT_EQ(ReadBytes(program_->Dir() / "Defult.ini"), SavedIniText(600000));

  // --- ﾒｰﾙﾁｪｯｸ, before the first timed check ------------------------------
  WriteBytes(program_->Dir() / "Defult.ini", IniText(600000));
  dovecot_.Deliver("taro", JapaneseMail("山田太郎", "yamada@example.jp", "追加の連絡",
                                        {"追加の資料です。"}));
  auto third = StartProgram("pelnor-3.out");
  ASSERT_TRUE(WaitUntil([&] { return TrayIconOf(third->Pid()).has_value(); }, 20s)) << Diagnostics();
  EXPECT_EQ(program_->OutputLogLines().size(), 4u);
  ASSERT_NO_FATAL_FAILURE(ChooseFromTrayMenu(third->Pid(), /*last=*/false));
  ASSERT_TRUE(WaitUntil([&] { return program_->OutputLogLines().size() >= 5; }, 20s))
      << Diagnostics();
  EXPECT_THAT(program_->OutputLogLines().back(), HasSubstr(" : [会社]山田太郎"));
  const std::vector<std::string> after = JobTexts(5);
  EXPECT_THAT(after.back(), HasSubstr("追加の連絡"));
  ASSERT_NO_FATAL_FAILURE(QuitFromTray(*third));
  EXPECT_EQ(ReadBytes(program_->Dir() / "Defult.ini"), SavedIniText(600000));
  EXPECT_EQ(cups_->Jobs().size(), 5u);
}

// Ended by signals, as a tray program usually is (logout, shutdown): a
// Defult.ini that still says "old" over current records must not make each
// start convert them again, and the account must go on printing.
TEST_F(PelnorEndToEnd, ThreeStartsEndedBySigtermKeepTheAccountsAndGoOnPrinting) {
  const std::string accounts = ReadBytes(program_->Dir() / "User.inf");
  WriteBytes(program_->Dir() / "Defult.ini",
             "[File]\r\nTime=600000\r\n[Config]\r\nCH2=1\r\n[System]\r\nFirstStart=0\r\n"
             "version=old\r\n");
  ASSERT_NO_FATAL_FAILURE(StartDesktop(/*withTray=*/true));

  for (int start = 1; start <= 3; ++start) {
    SCOPED_TRACE("start " + std::to_string(start));
    const std::string subject = "注文 " + std::to_string(start);
    dovecot_.Deliver("taro", JapaneseMail("山田太郎", "yamada@example.jp", subject, {"本文"}));
    auto program = StartProgram("pelnor-" + std::to_string(start) + ".out");
    ASSERT_TRUE(WaitUntil([&] { return TrayIconOf(program->Pid()).has_value(); }, 20s))
        << Diagnostics();
    ASSERT_NO_FATAL_FAILURE(CheckNow(program->Pid(), "taro"));
    ASSERT_TRUE(WaitUntil(
        [&] { return program_->OutputLogLines().size() >= static_cast<std::size_t>(start); }, 30s))
        << Diagnostics();
    EXPECT_THAT(JobTexts(start).back(), HasSubstr(subject));

    ASSERT_EQ(::kill(program->Pid(), SIGTERM), 0);
    ASSERT_TRUE(WaitUntil([&] { return !program->Running(); }, 15s)) << "SIGTERM did not end it";
    EXPECT_EQ(program->Wait(), 0) << Diagnostics();
    EXPECT_EQ(ReadBytes(program_->Dir() / "User.inf"), accounts);
    EXPECT_THAT(ReadBytes(program_->Dir() / "Defult.ini"), HasSubstr("version=1.7\r\n"));
    EXPECT_FALSE(fs::exists(program_->LockFile()));
    EXPECT_THAT(TemporaryFiles(), ::testing::IsEmpty());
  }
  EXPECT_EQ(program_->OutputLogLines().size(), 3u);
  EXPECT_EQ(cups_->Jobs().size(), 3u);
}

// No tray at start (stock GNOME, or a panel that comes later) and a first
// account whose server cannot be reached: the timed check still runs, the
// second account's mail is printed, and the icon comes once a tray does.
TEST_F(PelnorEndToEnd, WithoutATrayAndWithAFailingFirstAccountTheOthersArePrinted) {
  const std::string broken =
      "first|1|127.0.0.2|taro|secret|99|0|IPAGothic|[]|10|1||1|1|0";
  const std::string working =
      "second|1|127.0.0.1|hanako|himitsu|99|0|IPAGothic|[]|10|1||1|1|0";
  WriteBytes(program_->Dir() / "User.inf",
             EncodeDigits(broken) + "\r\n" + EncodeDigits(working) + "\r\n");
  WriteBytes(program_->Dir() / "Defult.ini", IniText(60000));
  dovecot_.Deliver("hanako", JapaneseMail("上司", "boss@example.jp", "至急確認のお願い", {"本文"}));
  ASSERT_NO_FATAL_FAILURE(StartDesktop(/*withTray=*/false));

  auto program = StartProgram("pelnor-1.out");
  // The first timed check comes about ten seconds after the start.
  ASSERT_TRUE(WaitUntil([&] { return !program_->OutputLogLines().empty() || !program->Running(); },
                        60s))
      << Diagnostics();
  ASSERT_TRUE(program->Running()) << Diagnostics();
  EXPECT_THAT(JobTexts(1).front(), AllOf(HasSubstr("【 second 】"), HasSubstr("至急確認のお願い")));
  EXPECT_THAT(SjisToUtf8(ReadBytes(program_->Dir() / "Log.txt")),
              HasSubstr(" : [first]接続エラー<エラー発生>\r\n"));

  ASSERT_TRUE(desktop_->RestartTray());
  ASSERT_TRUE(TrayRuns());
  EXPECT_TRUE(WaitUntil([&] { return TrayIconOf(program->Pid()).has_value(); }, 20s))
      << "the icon did not come to the tray" << Diagnostics();
  ASSERT_NO_FATAL_FAILURE(QuitFromTray(*program));
}

// Today's servers: one account on POP3S (its record names the port, so
// Dovecot's can be any) and one with STARTTLS on 110, both verified against
// a test CA that reaches the program through SSL_CERT_FILE, as for every
// OpenSSL program. Each prints its mail; Dovecot saw both logins inside
// TLS, and the mail the POP3S account deletes is gone. The STARTTLS mail is
// UTF-8 throughout and prints as written.
TEST_F(PelnorEndToEnd, PrintsTheMailOfAccountsOverTls) {
  TestCertificates certs(base_.Path().string());
  const ServerCertificate cert = certs.Issue("dovecot", {});
  dovecot_.Stop();
  dovecot_.EnableTls(cert.CertFile, cert.KeyFile);
  dovecot_.Start();
  extraEnvironment_ = {"SSL_CERT_FILE=" + certs.CaFile(), "SSL_CERT_DIR=" + base_.Path().string()};
  const std::string secure = Sjis("暗号") + "|1|pop3s://localhost:" +
                             std::to_string(dovecot_.TlsPort()) +
                             "|taro|secret|99|0|IPAGothic|[]|10|1||1|0|0";
  const std::string upgraded =
      "stls|1|starttls://127.0.0.1|hanako|himitsu|99|0|IPAGothic|[]|10|1||1|1|0";
  WriteBytes(program_->Dir() / "User.inf",
             EncodeDigits(secure) + "\r\n" + EncodeDigits(upgraded) + "\r\n");
  WriteBytes(program_->Dir() / "Defult.ini", IniText(600000));
  dovecot_.Deliver("taro", JapaneseMail("山田太郎", "yamada@example.jp", "暗号化された受信",
                                        {"TLSで届きました。"}));
  // As today's mailers send it: UTF-8 words, a base64 UTF-8 body, an
  // RFC 2231 file name.
  dovecot_.Deliver("hanako",
                   "From: =?UTF-8?B?" + Base64("上司") + "?= <boss@example.jp>\r\n"
                   "To: hanako@example.jp\r\n"
                   "Subject: =?UTF-8?B?" + Base64("STARTTLSの確認 ①") + "?=\r\n"
                   "Date: Wed, 9 Dec 2026 10:00:00 +0900\r\n"
                   "Message-ID: <utf8-stls@example.jp>\r\n"
                   "MIME-Version: 1.0\r\n"
                   "Content-Type: multipart/mixed; boundary=\"b\"\r\n\r\n"
                   "--b\r\nContent-Type: text/plain; charset=UTF-8\r\n"
                   "Content-Transfer-Encoding: base64\r\n\r\n" +
                       Base64("こちらも暗号化です。Grüße\r\n") +
                       "\r\n--b\r\nContent-Type: text/plain\r\n"
                       "Content-Disposition: attachment; filename*=UTF-8''%E5%A0%B1%E5%91%8A.txt\r\n"
                       "\r\nreport\r\n--b--\r\n");
  ASSERT_NO_FATAL_FAILURE(StartDesktop(/*withTray=*/true));

  auto program = StartProgram("pelnor-1.out");
  ASSERT_TRUE(WaitUntil([&] { return TrayIconOf(program->Pid()).has_value(); }, 20s))
      << Diagnostics();
  ASSERT_NO_FATAL_FAILURE(CheckNow(program->Pid(), "hanako"));
  ASSERT_TRUE(WaitUntil([&] { return program_->OutputLogLines().size() >= 2; }, 40s))
      << SjisToUtf8(ReadBytesIfExists(program_->Dir() / "Log.txt")) << Diagnostics();
  EXPECT_THAT(JobTexts(2), UnorderedElementsAre(
                        AllOf(HasSubstr("【 暗号 】"), HasSubstr("暗号化された受信"),
                              HasSubstr("TLSで届きました。")),
                        AllOf(HasSubstr("【 stls 】"), HasSubstr("STARTTLSの確認 ①"),
                              HasSubstr("こちらも暗号化です。Grüße"), HasSubstr("報告.txt"))));
  const std::string log = dovecot_.LogText();
  for (const char* user : {"taro", "hanako"}) {
    const auto at = log.find(std::string("Login: user=<") + user + ">");
    ASSERT_NE(at, std::string::npos) << user;
    EXPECT_THAT(log.substr(at, log.find('\n', at) - at), HasSubstr(", TLS")) << user;
  }
  EXPECT_EQ(dovecot_.CountMails("taro"), 0);
  ASSERT_NO_FATAL_FAILURE(QuitFromTray(*program));
}

}  // namespace
}  // namespace pelnor::test
