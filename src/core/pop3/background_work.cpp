#include "core/pop3/background_work.h"

#if defined(__linux__)
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace pelnor {

void RunAsBackgroundWork() {
#if defined(__linux__)
  // On Linux both apply to the calling thread only, not to the process.
  const sched_param none{};
  ::sched_setscheduler(0, SCHED_BATCH, &none);
  ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 19);
#endif
}

}  // namespace pelnor
