#include "core/shell/mail_and_home_page.h"

namespace pelnor {

void MailAndHomePage::SendMail() { Succeeded = opener_.Open("mailto:" + MailAddress); }

void MailAndHomePage::OpenHomePage() { Succeeded = opener_.Open(HomePageAddress); }

}  // namespace pelnor
