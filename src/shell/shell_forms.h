#pragma once

// The tray menu's shell entries and the first start's shortcut dialog, in
// one object the main form calls: "ﾍﾙﾌﾟ", "ﾊﾞｰｼﾞｮﾝ情報", "作者へのﾒｰﾙ",
// "作者のﾎｰﾑﾍﾟｰｼﾞへ".

#include <QString>

#include <functional>
#include <memory>
#include <string>

#include "shell/MailHP.h"
#include "shell/Unit5.h"
#include "shell/Unit6.h"
#include "shell/shell_environment.h"
#include "shell/shell_open.h"

namespace pelnor {

// The author's addresses are placeholders of this project's own.
inline constexpr char kAuthorMailAddress[] = "pelnor@example.org";
inline constexpr char kAuthorHomePage[] = "https://pelnor.example.org/";

// A modal warning under the caption "Pelnor".
void ShowShellWarning(const QString& text);

struct TShellFormsServices {
  std::string ProgramDir;  // ends in "/"
  TShellEnvironment Environment = ShellEnvironmentFromProcess();
  std::function<void(int)> SetLastShownForm;      // 5 or 6 when a form is shown
  std::function<void()> OnShortcutDialogClosed;   // the first start's hand-over
  std::function<void(const QString&)> ShowWarning = ShowShellWarning;
  std::unique_ptr<TShellOpener> Opener;           // QDesktopServices when empty
};

class TShellForms {
 public:
  explicit TShellForms(TShellFormsServices services);
  ~TShellForms();

  // First start only: creates TForm5 with both boxes checked and shows it
  // without waiting.
  void ShowShortcutDialog();

  void Help1Click();   // the manual beside the executable, in the browser
  void About1Click();  // TForm6, without waiting
  void N6Click();      // mail to the author
  void N7Click();      // the author's home page

  TForm5* Form5() const { return form5_.get(); }  // null until the first start shows it
  TForm6* Form6() const { return form6_.get(); }
  TMailAndHP& MailAndHP1() { return mailAndHP1_; }

 private:
  TShellFormsServices services_;
  TMailAndHP mailAndHP1_;
  std::unique_ptr<TForm5> form5_;
  std::unique_ptr<TForm6> form6_;
};

}  // namespace pelnor
