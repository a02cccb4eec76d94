#include "core/check/fault_point.h"

#include <utility>

namespace pelnor {
namespace {

std::function<void(std::string_view)>& Hook() {
  static std::function<void(std::string_view)> hook;
  return hook;
}

}  // namespace

void ReachFaultPoint(std::string_view point) {
  if (Hook()) Hook()(point);
}

void SetFaultHookForTesting(std::function<void(std::string_view point)> hook) {
  Hook() = std::move(hook);
}

}  // namespace pelnor
