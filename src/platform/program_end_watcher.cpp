#include "platform/program_end_watcher.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QSessionManager>

#include <atomic>
#include <cerrno>

#include "core/text/error_text.h"

namespace pelnor {
namespace {

// The write end of the pipe: the only state a signal handler may reach.
std::atomic<int> signalPipe{-1};

extern "C" void WriteSignalNumber(int signal) {
  const int savedErrno = errno;
  const unsigned char number = static_cast<unsigned char>(signal);
  const int fd = signalPipe.load();
  if (fd >= 0 && write(fd, &number, 1) < 0) {
    // A full pipe already holds end requests; nothing is lost.
  }
  errno = savedErrno;
}

}  // namespace

ProgramEndWatcher::ProgramEndWatcher() {
  if (signalPipe.load() >= 0) throw ProgramEndWatcherError("the end signals are watched already");
  if (pipe2(pipe_.data(), O_NONBLOCK | O_CLOEXEC) != 0)
    throw ProgramEndWatcherError("no pipe for the end signals: " + ErrorText(errno));
  signalPipe.store(pipe_[1]);

  notifier_ = std::make_unique<QSocketNotifier>(pipe_[0], QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, &context_,
                   [this] { ReadSignals(); });
  if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
    QObject::connect(gui, &QGuiApplication::commitDataRequest, &context_,
                     [this](QSessionManager&) { SessionEnd(); });
  QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, &context_,
                   [this] { SessionEnd(); });

  struct sigaction action {};
  action.sa_handler = WriteSignalNumber;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART | SA_RESETHAND;
  for (std::size_t i = 0; i < kSignals.size(); ++i) sigaction(kSignals[i], &action, &before_[i]);
}

ProgramEndWatcher::~ProgramEndWatcher() {
  for (std::size_t i = 0; i < kSignals.size(); ++i) sigaction(kSignals[i], &before_[i], nullptr);
  signalPipe.store(-1);
  notifier_.reset();
  close(pipe_[0]);
  close(pipe_[1]);
}

void ProgramEndWatcher::ReadSignals() {
  unsigned char number = 0;
  while (read(pipe_[0], &number, 1) == 1) {
    if (OnEnd)
      OnEnd(number);
    else
      QCoreApplication::exit(0);
  }
}

void ProgramEndWatcher::SessionEnd() {
  if (OnSessionEnd) OnSessionEnd();
}

}  // namespace pelnor
