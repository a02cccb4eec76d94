#pragma once

// The tray menu's shell entries and the first start's shortcut dialog, in
// one object the main form calls: "ﾍﾙﾌﾟ", "ﾊﾞｰｼﾞｮﾝ情報", "作者へのﾒｰﾙ",
// "作者のﾎｰﾑﾍﾟｰｼﾞへ".

#include <QString>

#include <functional>
#include <memory>
#include <string>

#include "core/shell/mail_and_home_page.h"
#include "ui/shortcut_dialog.h"
#include "ui/about_dialog.h"
#include "core/shell/shell_environment.h"
#include "core/shell/shell_open.h"
#include "ui/message_box.h"

namespace pelnor {

// The author's addresses are placeholders of this project's own.
inline constexpr char kAuthorMailAddress[] = "pelnor@example.org";
inline constexpr char kAuthorHomePage[] = "https://pelnor.example.org/";

struct ShellDialogsServices {
  std::string ProgramDir;  // the program's files, shown in the About box; ends in "/"
  // Where the executable lies: the manual beside it or in the installed
  // data folder, the target of the launchers. Empty: the program directory.
  std::string ExecutableDir;
  std::string LauncherArguments;  // the launchers' command-line tail (ArgumentsText)
  ShellEnvironment Environment = ShellEnvironmentFromProcess();
  std::function<void(int)> SetLastShownForm;      // 5 or 6 when a form is shown
  std::function<void()> OnShortcutDialogClosed;   // the first start's hand-over
  std::function<void(const QString&)> ShowWarning = ShowWarningBox;
  std::unique_ptr<ShellOpener> Opener;           // QDesktopServices when empty
};

class ShellDialogs {
 public:
  explicit ShellDialogs(ShellDialogsServices services);
  ~ShellDialogs();

  // First start only: creates ShortcutDialog with both boxes checked and
  // shows it without waiting.
  void ShowShortcutDialog();

  void OnHelp();       // the manual (FindHelpFile), in the browser
  void OnAbout();      // AboutDialog, without waiting
  void OnMailAuthor(); // mail to the author
  void OnHomePage();   // the author's home page

  // Null until the first start shows it.
  ShortcutDialog* Shortcut() const { return shortcutDialog_.get(); }
  AboutDialog* About() const { return aboutDialog_.get(); }
  MailAndHomePage& MailAndHome() { return mailAndHomePage_; }

 private:
  const std::string& ExecutableDir() const;

  ShellDialogsServices services_;
  MailAndHomePage mailAndHomePage_;
  std::unique_ptr<ShortcutDialog> shortcutDialog_;
  std::unique_ptr<AboutDialog> aboutDialog_;
};

}  // namespace pelnor
