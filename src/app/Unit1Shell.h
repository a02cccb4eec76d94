#pragma once

// The main form's shell side: the tray menu's "ﾍﾙﾌﾟ", "ﾊﾞｰｼﾞｮﾝ情報",
// "作者へのﾒｰﾙ" and "作者のﾎｰﾑﾍﾟｰｼﾞへ", and the first start's shortcut
// dialog, all served by the shell forms.

#include <string>

#include "app/Unit1.h"
#include "ui/shell_dialogs.h"

namespace pelnor {

// Services whose shown forms become LastShownForm and whose first-start
// dialog, once closed, opens the settings dialog.
ShellDialogsServices ShellFormsServicesFor(TForm1& form, std::string programDir);

// Registers the About box (and the shortcut dialog once shown) for the tray
// click and sets the form's shell entries. Before FormCreate, so that the
// first start finds its dialog; `shell` outlives the form's use of it.
void ConnectShellForms(TForm1& form, ShellDialogs& shell);

}  // namespace pelnor
