// Every way the program ends saves the settings first: "終了", a signal and
// the end of the desktop session.

#include <QCoreApplication>
#include <QtGlobal>

#include <exception>

#include "app/application.h"
#include "core/store/settings.h"
#include "platform/program_end_watcher.h"
#include "ui/settings_dialog.h"

namespace pelnor {
namespace {

void WarnSaveFailed(const QString& text) {
  qWarning("Defult.ini: %s", qPrintable(text));
}

}  // namespace

void Application::SaveSettingsFile() { SaveSettings(services_.ProgramDir, settings_); }

void Application::OnExit() {
  EndProgram([this](const QString& text) { Message(text, QMessageBox::Critical); });
}

void Application::OnEndRequested() { EndProgram(WarnSaveFailed); }

// A check running under us unwinds at its next pump; the event loop then
// ends, wherever it is nested.
void Application::EndProgram(const std::function<void(const QString&)>& reportSaveFailure) {
  if (ending_) return;
  ending_ = true;
  trayIcon_->SetEnabled(false);
  checkTimer_.SetEnabled(false);
  if (services_.Pump != nullptr) services_.Pump->MarkEnding();
  try {
    SaveSettingsFile();
  } catch (const std::exception& e) {
    reportSaveFailure(ExceptionText(e.what()));
  }
  settingsDialog_->hide();
  QCoreApplication::exit(0);
}

void Application::OnSessionEnding() {
  if (ending_) return;  // saved on the way out already
  try {
    SaveSettingsFile();
  } catch (const std::exception& e) {
    WarnSaveFailed(ExceptionText(e.what()));
  }
}

void Application::ConnectProgramEnds(ProgramEndWatcher& watcher) {
  watcher.OnEnd = [this](int) { OnEndRequested(); };
  watcher.OnSessionEnd = [this] { OnSessionEnding(); };
}

}  // namespace pelnor
