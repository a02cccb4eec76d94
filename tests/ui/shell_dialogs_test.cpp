// The shortcut dialog, the About box and the tray's shell entries on the
// offscreen platform, in a temporary home.

#include "ui/shell_dialogs.h"

#include <QApplication>
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

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    app_ = std::make_unique<QApplication>(argc_, argv_);
  }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[24] = "shell_forms_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
};

const auto* const kQtEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

// The main form's side: what the shell forms report back to it.
class ShellFormsTest : public ::testing::Test {
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

TEST_F(ShellFormsTest, ShortcutDialogComesUpWithBothBoxesChecked) {
  auto shell = Make();
  EXPECT_EQ(shell->Shortcut(), nullptr);
  shell->ShowShortcutDialog();
  ShortcutDialog* form = shell->Shortcut();
  ASSERT_NE(form, nullptr);
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(form->windowTitle(), QStringLiteral("ｼｮｰﾄｶｯﾄ設定"));
  EXPECT_EQ(form->CheckBox1->text(), QStringLiteral("スタートアップに登録します。"));
  EXPECT_EQ(form->CheckBox2->text(), QStringLiteral("ディスクトップにショトカットを作成します。"));
  EXPECT_EQ(form->Button1->text(), QStringLiteral("OK"));
  EXPECT_TRUE(form->CheckBox1->isChecked());
  EXPECT_TRUE(form->CheckBox2->isChecked());
  EXPECT_EQ(lastShownForm_, 5);
  EXPECT_EQ(handOvers_, 0);
}

TEST_F(ShellFormsTest, OkWithBothBoxesWritesBothEntriesAndHandsOver) {
  auto shell = Make();
  shell->ShowShortcutDialog();
  QTest::mouseClick(shell->Shortcut()->Button1, Qt::LeftButton);
  const std::string exec = "\nExec=" + home_.ProgramDir() + "pelnor\n";
  EXPECT_NE(test::ReadText(StartupEntry()).find(exec), std::string::npos);
  EXPECT_NE(test::ReadText(DesktopEntry()).find(exec), std::string::npos);
  EXPECT_FALSE(shell->Shortcut()->isVisible());
  EXPECT_EQ(handOvers_, 1);
  EXPECT_TRUE(warnings_.isEmpty());
}

TEST_F(ShellFormsTest, OkWithBothBoxesClearedWritesNothingAndStillHandsOver) {
  auto shell = Make();
  shell->ShowShortcutDialog();
  shell->Shortcut()->CheckBox1->setChecked(false);
  shell->Shortcut()->CheckBox2->setChecked(false);
  QTest::mouseClick(shell->Shortcut()->Button1, Qt::LeftButton);
  EXPECT_TRUE(fs::is_empty(home_.Path()));
  EXPECT_EQ(handOvers_, 1);
}

TEST_F(ShellFormsTest, CloseBoxWritesNothingAndOnlyTheFirstClosingHandsOver) {
  auto shell = Make();
  shell->ShowShortcutDialog();
  EXPECT_TRUE(shell->Shortcut()->close());
  EXPECT_FALSE(fs::exists(StartupEntry()));
  EXPECT_FALSE(fs::exists(DesktopEntry()));
  EXPECT_EQ(handOvers_, 1);
  shell->Shortcut()->show();  // as a tray click on the last shown window may do
  QTest::mouseClick(shell->Shortcut()->Button1, Qt::LeftButton);
  EXPECT_TRUE(fs::exists(DesktopEntry()));
  EXPECT_EQ(handOvers_, 1);
}

TEST_F(ShellFormsTest, AFailedEntryIsShownAndStillHandsOver) {
  WriteText(home_.Path() / "Desktop", "not a folder");
  auto shell = Make();
  shell->ShowShortcutDialog();
  shell->Shortcut()->Button1Click();
  ASSERT_EQ(warnings_.size(), 1);
  EXPECT_TRUE(warnings_[0].contains(QStringLiteral("Desktop"))) << warnings_[0].toStdString();
  EXPECT_EQ(handOvers_, 1);
}

TEST_F(ShellFormsTest, AboutBoxShowsNameVersionAndLines) {
  auto shell = Make();
  AboutDialog* about = shell->About();
  EXPECT_FALSE(about->isVisible());
  EXPECT_EQ(about->windowTitle(), QStringLiteral("バージョン情報"));
  EXPECT_EQ(about->ProductName->text(), QStringLiteral("Pelnor"));
  EXPECT_EQ(about->Version->text(), QStringLiteral("Ver.1.7"));
  EXPECT_TRUE(about->ProductName->font().bold());
  EXPECT_TRUE(about->Version->font().bold());
  EXPECT_TRUE(about->ProductName->styleSheet().contains(QStringLiteral("blue")));
  EXPECT_TRUE(about->Version->styleSheet().contains(QStringLiteral("red")));
  EXPECT_FALSE(about->Comments->text().isEmpty());
  EXPECT_FALSE(about->Copyright->text().isEmpty());
  EXPECT_EQ(about->OKButton->text(), QStringLiteral("OK"));
  EXPECT_TRUE(about->OKButton->isDefault());
}

TEST_F(ShellFormsTest, AboutBoxShowsWithoutWaitingAndHidesOnOk) {
  auto shell = Make();
  shell->OnAbout();  // returns at once: no modal loop
  EXPECT_TRUE(shell->About()->isVisible());
  EXPECT_EQ(lastShownForm_, 6);
  QTest::mouseClick(shell->About()->OKButton, Qt::LeftButton);
  EXPECT_FALSE(shell->About()->isVisible());
  lastShownForm_ = 1;
  shell->OnAbout();
  EXPECT_EQ(lastShownForm_, 6);
}

TEST_F(ShellFormsTest, MailAndHomePageGoToTheDesktop) {
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

TEST_F(ShellFormsTest, HelpOpensTheManualOrSaysItIsMissing) {
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

}  // namespace
}  // namespace pelnor
