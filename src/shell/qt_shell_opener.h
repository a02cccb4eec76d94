#pragma once

// The desktop's "open" through QDesktopServices (xdg-open underneath).

#include "shell/shell_open.h"

namespace pelnor {

class TQtShellOpener : public TShellOpener {
 public:
  bool Open(const std::string& target) override;
};

}  // namespace pelnor
