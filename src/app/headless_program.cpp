#include "app/headless_program.h"

#include <QGuiApplication>
#include <QTimer>

#include <clocale>
#include <cstdio>
#include <exception>
#include <memory>

#include "app/mail_checker.h"
#include "app/program_start.h"
#include "core/check/comm_log.h"
#include "core/check/event_pump.h"
#include "core/check/log_text.h"
#include "core/text/sjis.h"
#include "platform/program_end_watcher.h"
#include "platform/qt_printer.h"

namespace pelnor {
namespace {

void PrintProblem(const std::string& what) {
  std::fprintf(stderr, "pelnor: %s\n", AnyTextToUtf8(what).c_str());
  std::fflush(stderr);
}

// The log's lines without their time stamp, which the journal adds.
void PrintLogEntry(const std::string& entry, int kind) {
  std::FILE* stream = kind == lkOutput ? stdout : stderr;
  std::fprintf(stream, "%s\n", SjisToUtf8(entry).c_str());
  std::fflush(stream);
}

MailCheckerServices CheckerServices(const std::string& programDir, QtPrinter& printer,
                                    EventPump& pump) {
  MailCheckerServices services;
  services.ProgramDir = programDir;
  services.Printer = &printer;
  services.Pump = &pump;
  services.MakePop = Pop3ClientsOn(pump);
  services.ReportFailure = PrintProblem;
  services.ReportNotice = PrintProblem;
  services.OnLogEntry = PrintLogEntry;
  return services;
}

void WarnIdle(MailChecker& checker) {
  if (!checker.HasEnabledAccount())
    PrintProblem("no enabled account in " + checker.ProgramDir() + "User.inf");
}

// In the event loop, so that a signal ends the check as it ends a timed one.
int CheckOnce(MailChecker& checker) {
  checker.ReadSettings();
  checker.LoadAccounts();
  WarnIdle(checker);
  int status = kExitFailed;
  QTimer::singleShot(0, [&] {
    status = checker.CheckOnce() ? kExitChecked : kExitFailed;
    checker.EndProgram([&](const std::string& what) {
      PrintProblem(what);
      status = kExitFailed;
    });
  });
  QGuiApplication::exec();
  return status;
}

int RunAtInterval(MailChecker& checker) {
  checker.Start();
  WarnIdle(checker);
  if (checker.CurrentSettings().CheckInterval <= 0)
    PrintProblem("timed checks are off (interval 0 in Defult.ini)");
  QGuiApplication::exec();
  return kExitChecked;
}

}  // namespace

int RunHeadless(int& argc, char** argv, const CommandLine& line) {
  // No display is looked for, whatever the environment names.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  std::setlocale(LC_MESSAGES, "C");
  ProgramEndWatcher ends;
  const std::unique_ptr<QLockFile> instance = LockInstance();
  if (!instance) {
    PrintProblem("すでに起動されてます。");
    return kExitFailed;
  }
  QGuiApplication::setApplicationName(QStringLiteral("Pelnor"));

  std::string programDir;
  try {
    programDir = ProgramDirFor(line);
  } catch (const std::exception& e) {
    PrintProblem(e.what());
    return kExitFailed;
  }
  QtPrinter printer(programDir);
  EventPump pump([] { QCoreApplication::processEvents(); });
  MailChecker checker(CheckerServices(programDir, printer, pump));
  checker.ConnectProgramEnds(ends);
  return line.Mode == RunMode::CheckOnce ? CheckOnce(checker) : RunAtInterval(checker);
}

}  // namespace pelnor
