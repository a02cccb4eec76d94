// The program entry: one instance per user, no window of its own at start,
// the application in the tray, then the message loop.

#include <QApplication>
#include <QDir>
#include <QLockFile>
#include <QMessageBox>
#include <QStandardPaths>

#include <clocale>
#include <memory>

#include "app/application.h"
#include "app/icons.h"
#include "core/check/event_pump.h"
#include "platform/program_end_watcher.h"
#include "core/check/pop3_check_client.h"
#include "platform/program_dir.h"
#include "platform/qt_translations.h"
#include "platform/qt_printer.h"
#include "platform/qt_tray_shell.h"
#include "platform/qt_tray_timer.h"
#include "core/tray/tray_host.h"

namespace {

// Marks that an instance runs. The lock file holds our PID: a lock left by a
// crashed run names a process that is gone and is taken over. It is never
// judged by age, since a run lasts for days.
std::unique_ptr<QLockFile> LockInstance() {
  QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (dir.isEmpty()) dir = QDir::tempPath();
  auto lock = std::make_unique<QLockFile>(dir + QStringLiteral("/EX_PELNOR.lock"));
  lock->setStaleLockTime(0);
  if (!lock->tryLock(0)) return nullptr;
  return lock;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  // The toolkit took the desktop's locale; system error texts stay in one
  // language for the log all the same.
  std::setlocale(LC_MESSAGES, "C");
  if (!pelnor::InstallQtTranslations(app))
    qWarning("Qt's Japanese texts (qtbase_ja.qm, package qt6-translations-l10n) are missing in %s",
             qPrintable(pelnor::QtTranslationsDir()));
  // Before anything is held: a signal from here on ends the program
  // through the event loop, saving and releasing the lock.
  pelnor::ProgramEndWatcher ends;
  const std::unique_ptr<QLockFile> instance = LockInstance();
  if (!instance) {
    QMessageBox::critical(nullptr, QStringLiteral("警告"), QStringLiteral("すでに起動されてます。"));
    return 0;
  }
  // Closing the settings dialog only hides it; the tray keeps the program.
  QApplication::setQuitOnLastWindowClosed(false);
  QApplication::setApplicationName(QStringLiteral("Pelnor"));
  QApplication::setWindowIcon(pelnor::ApplicationIcon());

  const std::string programDir = pelnor::ProgramDir();
  pelnor::QtTrayShell shell;
  pelnor::QtTrayTimerFactory timers;
  pelnor::TrayHost host(shell, timers);
  pelnor::QtPrinter printer(programDir);
  pelnor::EventPump pump([] { QCoreApplication::processEvents(); });

  pelnor::ApplicationServices services;
  services.ProgramDir = programDir;
  services.Tray = &host;
  services.Printer = &printer;
  services.Pump = &pump;
  services.MakePop = [&pump] { return std::make_unique<pelnor::Pop3SessionClient>(pump.Callback()); };

  // The application brings the settings dialog and the account editor with
  // its input dialog and directory chooser; the About box and, at the first
  // start, the shortcut dialog come from the shell dialogs. All of them live
  // until the end.
  pelnor::Application application(std::move(services));
  pelnor::ShellDialogs shellDialogs(application.ShellServices());
  application.ConnectShellDialogs(shellDialogs);
  application.ConnectProgramEnds(ends);
  application.Start();
  // Ended during start-up: a signal met a dialog's own event loop.
  if (application.Ending()) return 0;
  return QApplication::exec();
}
