#include "core/tray/tray_host.h"

namespace pelnor {

CallbackWindow& TrayHost::Callbacks() {
  if (!window_) window_ = std::make_unique<CallbackWindow>(shell_, registry_);
  return *window_;
}

}  // namespace pelnor
