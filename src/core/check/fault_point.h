#pragma once

// Named points in the output of a mail where a test build lets a test stop
// the program dead (SIGKILL), to show that a crash at any of them neither
// loses a mail nor prints it twice without saying so. Compiled in only with
// PELNOR_TEST_HOOKS (the tests' configurations); otherwise a point is
// nothing at all.

#ifdef PELNOR_TEST_HOOKS

#include <functional>
#include <string_view>

namespace pelnor {

// Calls the hook, if one is set, with the point's name.
void ReachFaultPoint(std::string_view point);
// Sets the hook; an empty function removes it.
void SetFaultHookForTesting(std::function<void(std::string_view point)> hook);

}  // namespace pelnor

#define PELNOR_FAULT_POINT(point) ::pelnor::ReachFaultPoint(point)

#else

#define PELNOR_FAULT_POINT(point) static_cast<void>(0)

#endif
