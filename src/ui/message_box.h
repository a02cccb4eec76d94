#pragma once

// The program's message boxes, all under the caption "Pelnor". Whoever
// shows one takes a MessageBoxFn, so tests hand in a recorder and nothing
// waits for a click.

#include <QMessageBox>
#include <QString>

#include <functional>

namespace pelnor {

using MessageBoxFn = std::function<void(const QString& text, QMessageBox::Icon icon)>;

// Modal: returns once the user has clicked OK.
void ShowMessageBox(const QString& text, QMessageBox::Icon icon);

// ShowMessageBox with the warning icon.
void ShowWarningBox(const QString& text);

// A question with "はい" and "いいえ"; true for "はい". Modal.
bool AskYesNoBox(const QString& text);

// Waits for nobody: for what an unattended program must say without
// stopping (it deletes itself when closed).
void ShowNoticeBox(const QString& text, QMessageBox::Icon icon);

// An exception's text: UTF-8 where it is valid UTF-8, else Shift_JIS.
QString ExceptionText(const char* what);

// Runs a handler; an exception escaping it is shown through `show` with the
// error icon and the program carries on.
void RunShowingFailure(const std::function<void()>& handler, const MessageBoxFn& show);

}  // namespace pelnor
