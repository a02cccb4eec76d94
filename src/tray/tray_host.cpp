#include "tray/tray_host.h"

namespace pelnor {

TCallbackWindow& TTrayHost::CallbackWindow() {
  if (!window_) window_ = std::make_unique<TCallbackWindow>(shell_, registry_);
  return *window_;
}

}  // namespace pelnor
