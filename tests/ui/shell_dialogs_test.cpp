// The shortcut dialog, the About box and the tray's shell entries on the
// offscreen platform, in a temporary home.

#include "ui/shell_dialogs.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "core/shell/help_file.h"
#include "support/temp_home.h"
#include "url_recorder.h"

namespace fs = std::filesystem;

namespace pelnor {
namespace {

using test::TempHome;
using test::UrlRecorder;
using test::WriteText;

// The application's side: what the shell dialogs report back to it.
class ShellDialogsTest : public ::testing::Test {
 protected:
  std::unique_ptr<ShellDialogs> Make() {
    ShellDialogsServices services;
    services.ProgramDir = home_.ProgramDir();
    services.Environment = home_.Environment();
    services.SetLastShownForm = [this](int number) { lastShownForm_ = number; };
    services.OnShortcutDialogClosed = [this] { ++handOvers_; };
    services.ShowWarning = [this](const QString& text) { warnings_ << text; };
    return std::make_unique<ShellDialogs>(std::move(services));
  }

  fs::path StartupEntry() const { return home_.Path() / ".config/autostart/Pelnor.desktop"; }
  fs::path DesktopEntry() const { return home_.Path() / "Desktop/Pelnor.desktop"; }

  TempHome home_;
  int lastShownForm_ = 0;
  int handOvers_ = 0;
  QStringList warnings_;
};

TEST_F(ShellDialogsTest, ShortcutDialogComesUpWithBothBoxesChecked) {
  auto shell = Make();
  EXPECT_EQ(shell->Shortcut(), nullptr);
  shell->ShowShortcutDialog();
  ShortcutDialog* form = shell->Shortcut();
  ASSERT_NE(form, nullptr);
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(form->windowTitle(), QStringLiteral("ｼｮｰﾄｶｯﾄ設定"));
  EXPECT_EQ(form->autostartCheck->text(), QStringLiteral("スタートアップに登録します。"));
  EXPECT_EQ(form->desktopCheck->text(), QStringLiteral("ディスクトップにショトカットを作成します。"));
  EXPECT_EQ(form->okButton->text(), QStringLiteral("OK"));
  EXPECT_TRUE(form->autostartCheck->isChecked());
  EXPECT_TRUE(form->desktopCheck->isChecked());
  EXPECT_EQ(lastShownForm_, 5);
  EXPECT_EQ(handOvers_, 0);
}

TEST_F(ShellDialogsTest, OkWithBothBoxesWritesBothEntriesAndHandsOver) {
  auto shell = Make();
  shell->ShowShortcutDialog();
  QTest::mouseClick(shell->Shortcut()->okButton, Qt::LeftButton);
  const std::string exec = "\nExec=" + home_.ProgramDir() + "pelnor\n";
  EXPECT_NE(test::ReadText(StartupEntry()).find(exec), std::string::npos);
  EXPECT_NE(test::ReadText(DesktopEntry()).find(exec), std::string::npos);
  EXPECT_FALSE(shell->Shortcut()->isVisible());
  EXPECT_EQ(handOvers_, 1);
  EXPECT_TRUE(warnings_.isEmpty());
}

TEST_F(ShellDialogsTest, OkWithBothBoxesClearedWritesNothingAndStillHandsOver) {
  auto shell = Make();
  shell->ShowShortcutDialog();
  shell->Shortcut()->autostartCheck->setChecked(false);
  shell->Shortcut()->desktopCheck->setChecked(false);
  QTest::mouseClick(shell->Shortcut()->okButton, Qt::LeftButton);
  EXPECT_TRUE(fs::is_empty(home_.Path()));
  EXPECT_EQ(handOvers_, 1);
}

TEST_F(ShellDialogsTest, CloseBoxWritesNothingAndOnlyTheFirstClosingHandsOver) {
  auto shell = Make();
  shell->ShowShortcutDialog();
  EXPECT_TRUE(shell->Shortcut()->close());
  EXPECT_FALSE(fs::exists(StartupEntry()));
  EXPECT_FALSE(fs::exists(DesktopEntry()));
  EXPECT_EQ(handOvers_, 1);
  shell->Shortcut()->show();  // as a tray click on the last shown window may do
  QTest::mouseClick(shell->Shortcut()->okButton, Qt::LeftButton);
  EXPECT_TRUE(fs::exists(DesktopEntry()));
  EXPECT_EQ(handOvers_, 1);
}

TEST_F(ShellDialogsTest, AFailedEntryIsShownAndStillHandsOver) {
  WriteText(home_.Path() / "Desktop", "not a folder");
  auto shell = Make();
  shell->ShowShortcutDialog();
  shell->Shortcut()->OnOk();
  ASSERT_EQ(warnings_.size(), 1);
  EXPECT_TRUE(warnings_[0].contains(QStringLiteral("Desktop"))) << warnings_[0].toStdString();
  EXPECT_EQ(handOvers_, 1);
}

TEST_F(ShellDialogsTest, AboutBoxShowsNameVersionAndLines) {
  auto shell = Make();
  AboutDialog* about = shell->About();
  EXPECT_FALSE(about->isVisible());
  EXPECT_EQ(about->windowTitle(), QStringLiteral("バージョン情報"));
  EXPECT_EQ(about->productNameLabel->text(), QStringLiteral("Pelnor"));
  EXPECT_EQ(about->versionLabel->text(), QStringLiteral("Ver.1.7"));
  EXPECT_TRUE(about->productNameLabel->font().bold());
  EXPECT_TRUE(about->versionLabel->font().bold());
  EXPECT_TRUE(about->productNameLabel->styleSheet().contains(QStringLiteral("blue")));
  EXPECT_TRUE(about->versionLabel->styleSheet().contains(QStringLiteral("red")));
  EXPECT_FALSE(about->subtitleLabel->text().isEmpty());
  EXPECT_FALSE(about->noticeLabel->text().isEmpty());
  EXPECT_EQ(about->okButton->text(), QStringLiteral("OK"));
  EXPECT_TRUE(about->okButton->isDefault());
}

TEST_F(ShellDialogsTest, AboutBoxShowsWithoutWaitingAndHidesOnOk) {
  auto shell = Make();
  shell->OnAbout();  // returns at once: no modal loop
  EXPECT_TRUE(shell->About()->isVisible());
  EXPECT_EQ(lastShownForm_, 6);
  QTest::mouseClick(shell->About()->okButton, Qt::LeftButton);
  EXPECT_FALSE(shell->About()->isVisible());
  lastShownForm_ = 1;
  shell->OnAbout();
  EXPECT_EQ(lastShownForm_, 6);
}

TEST_F(ShellDialogsTest, MailAndHomePageGoToTheDesktop) {
  UrlRecorder recorder({QStringLiteral("mailto"), QStringLiteral("https")});
  auto shell = Make();
  shell->OnMailAuthor();
  EXPECT_TRUE(shell->MailAndHome().Succeeded);
  shell->OnHomePage();
  EXPECT_TRUE(shell->MailAndHome().Succeeded);
  EXPECT_EQ(recorder.Urls, (QStringList{QStringLiteral("mailto:pelnor@example.org"),
                                        QStringLiteral("https://pelnor.example.org/")}));
  // A URL the desktop cannot take only clears Succeeded; nothing is shown.
  shell->MailAndHome().HomePageAddress = "http://[";
  shell->OnHomePage();
  EXPECT_FALSE(shell->MailAndHome().Succeeded);
  EXPECT_TRUE(warnings_.isEmpty());
}

TEST_F(ShellDialogsTest, HelpOpensTheManualOrSaysItIsMissing) {
  UrlRecorder recorder({QStringLiteral("file")});
  auto shell = Make();
  shell->OnHelp();
  EXPECT_TRUE(recorder.Urls.isEmpty());
  ASSERT_EQ(warnings_.size(), 1);
  EXPECT_TRUE(warnings_[0].contains(QStringLiteral("見つかりません")));
  WriteText(HelpFilePath(home_.ProgramDir()), "<html></html>");
  shell->OnHelp();
  EXPECT_EQ(recorder.Urls,
            QStringList{QString::fromStdString(FileUrl(home_.ProgramDir() + "pelnor.html"))});
  EXPECT_EQ(warnings_.size(), 1);
}

// Installed, the executable, its manual and the user's files lie apart:
// the manual comes from the data folder beside bin, the launchers start the
// executable on the same files, the About box tells where both are.
TEST_F(ShellDialogsTest, InstalledProgramFindsItsManualAndLaunchesItselfOnItsFiles) {
  UrlRecorder recorder({QStringLiteral("file")});
  const std::string binDir = (home_.Path() / "usr/bin").string() + "/";
  const std::string manual = (home_.Path() / "usr/share/pelnor/pelnor.html").string();
  const std::string files = (home_.Path() / "my files").string() + "/";
  WriteText(manual, "<html></html>");
  ShellDialogsServices services;
  services.ProgramDir = files;
  services.ExecutableDir = binDir;
  services.LauncherArguments = "--program-dir \"" + files + "\"";
  services.Environment = home_.Environment();
  services.ShowWarning = [this](const QString& text) { warnings_ << text; };
  ShellDialogs shell(std::move(services));

  EXPECT_TRUE(shell.About()->pathsLabel->text().contains(QString::fromStdString(files)));
  EXPECT_TRUE(shell.About()->pathsLabel->text().contains(QString::fromStdString(manual)));
  shell.OnHelp();
  EXPECT_EQ(recorder.Urls, QStringList{QString::fromStdString(FileUrl(manual))});
  shell.ShowShortcutDialog();
  shell.Shortcut()->OnOk();
  const std::string entry = test::ReadText(DesktopEntry());
  EXPECT_NE(entry.find("\nExec=" + binDir + "pelnor --program-dir \"" + files + "\"\n"),
            std::string::npos)
      << entry;
  EXPECT_NE(entry.find("\nIcon=pelnor\n"), std::string::npos) << entry;
  EXPECT_TRUE(warnings_.isEmpty());
}

}  // namespace
}  // namespace pelnor
