#pragma once

// MailAndHomePage opens a mail address in the mail program or a home page in the
// browser. A failure only clears Succeeded; nothing is shown.

#include <string>

#include "core/shell/shell_open.h"

namespace pelnor {

class MailAndHomePage {
 public:
  explicit MailAndHomePage(ShellOpener& opener) : opener_(opener) {}

  std::string MailAddress;
  std::string HomePageAddress = "http://";
  bool Succeeded = false;  // whether the last open worked

  void SendMail();      // "mailto:" + MailAddress, bare when it is empty
  void OpenHomePage();  // HomePageAddress as it is

 private:
  ShellOpener& opener_;
};

}  // namespace pelnor
