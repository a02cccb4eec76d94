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

// Waits for nobody: for what an unattended program must say without
// stopping (it deletes itself when closed).
void ShowNoticeBox(const QString& text, QMessageBox::Icon icon);

}  // namespace pelnor
