#include "tray/notify_icon_error.h"

#include "platform/sjis_literal.h"

namespace pelnor {

ENotifyIconError::ENotifyIconError()
    : std::runtime_error(Sjis("タスクトレイにアイコンを登録できません。")) {}

}  // namespace pelnor
