#pragma once

// The ways the program is told to end from outside: SIGTERM, SIGINT and
// SIGHUP, and the end of the desktop session. A signal handler may do next
// to nothing, so it only writes the signal's number into a pipe; the event
// loop reads it there and calls OnEnd, where saving the settings is safe.
//
// Each handler is one-shot: the same signal sent again ends the program at
// once, the way out when an end hangs.

#include <QObject>
#include <QSocketNotifier>

#include <signal.h>

#include <array>
#include <functional>
#include <memory>
#include <stdexcept>

namespace pelnor {

class ProgramEndWatcherError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class ProgramEndWatcher {
 public:
  static constexpr std::array<int, 3> kSignals = {SIGTERM, SIGINT, SIGHUP};

  // Installs the handlers (after the QCoreApplication exists). One watcher
  // at a time; throws ProgramEndWatcherError for a second one or when the
  // pipe cannot be had.
  ProgramEndWatcher();
  // The handlers that were there before come back.
  ~ProgramEndWatcher();
  ProgramEndWatcher(const ProgramEndWatcher&) = delete;
  ProgramEndWatcher& operator=(const ProgramEndWatcher&) = delete;

  // In the event loop, once per signal received. Unset, the event loop
  // ends: nothing is there to be saved yet.
  std::function<void(int signal)> OnEnd;
  // The desktop session asks for the data to be kept (commitDataRequest),
  // or the event loop is about to end (aboutToQuit).
  std::function<void()> OnSessionEnd;

 private:
  void ReadSignals();
  void SessionEnd();

  std::array<int, 2> pipe_{-1, -1};
  std::array<struct sigaction, kSignals.size()> before_{};
  QObject context_;  // ends the connections to the application with us
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace pelnor
