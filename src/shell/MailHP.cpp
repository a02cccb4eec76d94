#include "shell/MailHP.h"

namespace pelnor {

void TMailAndHP::SendMail() { Succeeded = opener_.Open("mailto:" + MailAddress); }

void TMailAndHP::OpenHomePage() { Succeeded = opener_.Open(HomePageAddress); }

}  // namespace pelnor
