// Every way the program ends saves the settings first: "終了", a signal and
// the end of the desktop session.

#include <QtGlobal>

#include "app/application.h"
#include "platform/program_end_watcher.h"
#include "ui/settings_dialog.h"

namespace pelnor {

void Application::OnExit() {
  EndProgram([this](const std::string& what) {
    Message(ExceptionText(what.c_str()), QMessageBox::Critical);
  });
}

// Nobody may be there to click a message away: a failed save goes to the
// standard error.
void Application::OnEndRequested() {
  EndProgram([](const std::string& what) {
    qWarning("Defult.ini: %s", qPrintable(ExceptionText(what.c_str())));
  });
}

void Application::EndProgram(const FailureReport& reportSaveFailure) {
  if (checker_.Ending()) return;
  trayIcon_->SetEnabled(false);
  checker_.EndProgram(reportSaveFailure);
  settingsDialog_->hide();
}

void Application::OnSessionEnding() { checker_.OnSessionEnding(); }

void Application::ConnectProgramEnds(ProgramEndWatcher& watcher) {
  watcher.OnEnd = [this](int) { OnEndRequested(); };
  watcher.OnSessionEnd = [this] { OnSessionEnding(); };
}

}  // namespace pelnor
