#pragma once

// The desktop's "open" through QDesktopServices (xdg-open underneath).

#include "core/shell/shell_open.h"

namespace pelnor {

class QtShellOpener : public ShellOpener {
 public:
  bool Open(const std::string& target) override;
};

}  // namespace pelnor
