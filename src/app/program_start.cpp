#include "app/program_start.h"

#include <QDir>
#include <QStandardPaths>

#include "core/check/pop3_check_client.h"
#include "core/shell/desktop_entry.h"
#include "platform/program_dir.h"

namespace pelnor {

// The lock file holds our PID: a lock left by a crashed run names a process
// that is gone and is taken over. It is never judged by age, since a run
// lasts for days.
std::unique_ptr<QLockFile> LockInstance() {
  QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (dir.isEmpty()) dir = QDir::tempPath();
  auto lock = std::make_unique<QLockFile>(dir + QStringLiteral("/EX_PELNOR.lock"));
  lock->setStaleLockTime(0);
  if (!lock->tryLock(0)) return nullptr;
  return lock;
}

std::string ProgramDirFor(const CommandLine& line) {
  return line.ProgramDir ? GivenProgramDir(*line.ProgramDir) : ProgramDir();
}

std::string LauncherArgumentsFor(const CommandLine& line, const std::string& programDir) {
  if (!line.ProgramDir) return {};
  return ArgumentsText({"--program-dir", programDir});
}

CheckCycle::Pop3ClientFactory Pop3ClientsOn(EventPump& pump) {
  return [&pump] { return std::make_unique<Pop3SessionClient>(pump.Callback()); };
}

}  // namespace pelnor
