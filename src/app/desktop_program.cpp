#include "app/desktop_program.h"

#include <QApplication>
#include <QMessageBox>

#include <clocale>
#include <exception>
#include <memory>

#include "app/application.h"
#include "app/icons.h"
#include "app/program_start.h"
#include "core/check/event_pump.h"
#include "core/tray/tray_host.h"
#include "platform/program_dir.h"
#include "platform/program_end_watcher.h"
#include "platform/qt_printer.h"
#include "platform/qt_translations.h"
#include "platform/qt_tray_shell.h"
#include "platform/qt_tray_timer.h"

namespace pelnor {

int RunDesktop(int& argc, char** argv, const CommandLine& line) {
  QApplication app(argc, argv);
  // The toolkit took the desktop's locale; system error texts stay in one
  // language for the log all the same.
  std::setlocale(LC_MESSAGES, "C");
  if (!InstallQtTranslations(app))
    qWarning("Qt's Japanese texts (qtbase_ja.qm, package qt6-translations-l10n) are missing in %s",
             qPrintable(QtTranslationsDir()));
  // Before anything is held: a signal from here on ends the program
  // through the event loop, saving and releasing the lock.
  ProgramEndWatcher ends;
  const std::unique_ptr<QLockFile> instance = LockInstance();
  if (!instance) {
    QMessageBox::critical(nullptr, QStringLiteral("警告"), QStringLiteral("すでに起動されてます。"));
    return 0;
  }
  // Closing the settings dialog only hides it; the tray keeps the program.
  QApplication::setQuitOnLastWindowClosed(false);
  QApplication::setApplicationName(QStringLiteral("Pelnor"));
  QApplication::setWindowIcon(ApplicationIcon());

  std::string programDir;
  try {
    programDir = ProgramDirFor(line);
  } catch (const std::exception& e) {
    ShowMessageBox(QString::fromStdString(e.what()), QMessageBox::Critical);
    return kExitFailed;
  }
  QtTrayShell shell;
  QtTrayTimerFactory timers;
  TrayHost host(shell, timers);
  QtPrinter printer(programDir);
  EventPump pump([] { QCoreApplication::processEvents(); });

  ApplicationServices services;
  services.ProgramDir = programDir;
  services.ExecutableDir = ExecutableDir();
  services.LauncherArguments = LauncherArgumentsFor(line, programDir);
  services.Tray = &host;
  services.Printer = &printer;
  services.Pump = &pump;
  services.MakePop = Pop3ClientsOn(pump);

  // The application brings the settings dialog and the account editor with
  // its input dialog and directory chooser; the About box and, at the first
  // start, the shortcut dialog come from the shell dialogs. All of them live
  // until the end.
  Application application(std::move(services));
  ShellDialogs shellDialogs(application.ShellServices());
  application.ConnectShellDialogs(shellDialogs);
  application.ConnectProgramEnds(ends);
  application.Start();
  // Ended during start-up: a signal met a dialog's own event loop.
  if (application.Ending()) return 0;
  return QApplication::exec();
}

}  // namespace pelnor
