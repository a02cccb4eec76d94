// Opening mail, home page and the manual through a recording opener, and
// the manual that ships beside the program.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/shell/mail_and_home_page.h"
#include "core/shell/help_file.h"
#include "support/files.h"
#include "support/temp_home.h"

namespace pelnor {
namespace {

using test::ReadBytes;
using test::TempHome;
using test::WriteBytes;

class RecordingOpener : public ShellOpener {
 public:
  bool Open(const std::string& target) override {
    Opened.push_back(target);
    return Result;
  }
  std::vector<std::string> Opened;
  bool Result = true;
};

TEST(MailAndHPTest, OpensAndReportsEachTime) {
  RecordingOpener opener;
  MailAndHomePage mail(opener);
  mail.SendMail();  // an empty address still opens the mail program
  mail.OpenHomePage();
  mail.MailAddress = "author@example.org";
  mail.SendMail();
  EXPECT_TRUE(mail.Succeeded);
  opener.Result = false;
  mail.OpenHomePage();
  EXPECT_FALSE(mail.Succeeded);
  EXPECT_EQ(opener.Opened,
            (std::vector<std::string>{"mailto:", "http://", "mailto:author@example.org", "http://"}));
}

TEST(HelpFileTest, FileUrlEncodesWhatAUrlCannotHold) {
  EXPECT_EQ(FileUrl("/opt/pelnor/pelnor.html"), "file:///opt/pelnor/pelnor.html");
  EXPECT_EQ(FileUrl("/opt/my #1%/ペ.html"), "file:///opt/my%20%231%25/%E3%83%9A.html");
}

TEST(HelpFileTest, OpensTheManualBesideTheProgramOnlyWhenItIsThere) {
  TempHome home;
  RecordingOpener opener;
  EXPECT_EQ(OpenHelp(home.ProgramDir(), opener), hrMissing);
  EXPECT_TRUE(opener.Opened.empty());
  WriteBytes(HelpFilePath(home.ProgramDir()), "<html></html>");
  EXPECT_EQ(OpenHelp(home.ProgramDir(), opener), hrOpened);
  EXPECT_EQ(opener.Opened, std::vector<std::string>{FileUrl(home.ProgramDir() + "pelnor.html")});
  opener.Result = false;
  EXPECT_EQ(OpenHelp(home.ProgramDir(), opener), hrOpenFailed);
}

// An installed program has no manual beside it in bin but one in
// share/pelnor; a manual beside the executable still comes first.
TEST(HelpFileTest, FindsTheInstalledManualUnlessOneLiesBesideTheProgram) {
  TempHome home;
  RecordingOpener opener;
  const std::string bin = (home.Path() / "usr/bin").string() + "/";
  const std::string installed = (home.Path() / "usr/share/pelnor/pelnor.html").string();
  WriteBytes(installed, "<html></html>");
  EXPECT_EQ(FindHelpFile(bin), installed);
  EXPECT_EQ(OpenHelp(bin, opener), hrOpened);
  WriteBytes(bin + "pelnor.html", "<html></html>");
  EXPECT_EQ(FindHelpFile(bin), bin + "pelnor.html");
  EXPECT_EQ(FindHelpFile(home.ProgramDir()), std::nullopt);
  EXPECT_EQ(opener.Opened, std::vector<std::string>{FileUrl(installed)});
}

// The manual must keep up with the program: the files it names and the
// captions a user looks for on screen.
TEST(HelpFileTest, ManualNamesFilesCaptionsAndLogMarkers) {
  const std::string manual = ReadBytes(PELNOR_SHELL_HELP);
  for (const char* text :
       {"charset=\"UTF-8\"", "Defult.ini", "User.inf", ".dat", "Log.txt", "&lt;出力終了&gt;",
        "&lt;エラー発生&gt;", "接続エラー", "ログインエラー", "新規", "ｴｲﾘｱｽ", "POP3ｻｰﾊﾞｰ",
        "ﾕｰｻﾞｰ名", "ﾊﾟｽﾜｰﾄﾞ", "出力ﾌﾟﾘﾝﾀ", "出力ﾌｫﾝﾄ", "全て受信する。", "添付ﾌｧｲﾙ保存する。",
        "取得日時別ﾃﾞｨﾚｸﾄﾘを作成する。(yymmddhhnn)", "出力後ｻｰﾊﾞｰからﾒｯｾｰｼﾞを削除する。",
        "受信監視間隔", "通信ﾛｸﾞの保存", "通常の接続。", "Ploxyを使用する。", "左部余白", "右部余白",
        "上部余白", "下部余白", "スタートアップに登録します。",
        "ディスクトップにショトカットを作成します。", "ﾒｰﾙﾁｪｯｸ", "環境設定", "終了"})
    EXPECT_NE(manual.find(text), std::string::npos) << text;
}

}  // namespace
}  // namespace pelnor
