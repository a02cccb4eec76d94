#pragma once

#include <stdexcept>

namespace pelnor {

// Raised when the shell refuses the tray icon, or when the program already
// has as many tray icons as it may. what() is the fixed Shift_JIS message
// "タスクトレイにアイコンを登録できません。".
class ENotifyIconError : public std::runtime_error {
 public:
  ENotifyIconError();
};

}  // namespace pelnor
