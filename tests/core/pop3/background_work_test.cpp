// The decoding thread steps back for everything else, and only it does.

#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <thread>

#include "core/pop3/background_work.h"

namespace pelnor {
namespace {

int NiceOfThisThread() { return ::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid())); }

TEST(BackgroundWork, LowersTheCallingThreadAndLeavesTheOthersAlone) {
  const int policyBefore = ::sched_getscheduler(0);
  const int niceBefore = NiceOfThisThread();
  int policy = -1;
  int nice = -100;
  std::thread worker([&] {
    RunAsBackgroundWork();
    policy = ::sched_getscheduler(0);
    nice = NiceOfThisThread();
  });
  worker.join();
  EXPECT_EQ(policy, SCHED_BATCH);
  EXPECT_EQ(nice, 19);
  EXPECT_EQ(::sched_getscheduler(0), policyBefore);
  EXPECT_EQ(NiceOfThisThread(), niceBefore);
  EXPECT_EQ(::getpriority(PRIO_PROCESS, 0), niceBefore) << "the process keeps its priority";
}

}  // namespace
}  // namespace pelnor
