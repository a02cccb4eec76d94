#include "core/tray/notify_icon_error.h"

#include "core/text/sjis.h"

namespace pelnor {

ENotifyIconError::ENotifyIconError()
    : std::runtime_error(Sjis("タスクトレイにアイコンを登録できません。")) {}

}  // namespace pelnor
