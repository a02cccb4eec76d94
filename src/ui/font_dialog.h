#pragma once

// The font dialog of the editor's "変更": Qt's own, with a sample line that
// shows Japanese as well, since Japanese mail is what gets printed.

#include <QFont>

#include <memory>
#include <optional>

class QFontDialog;

namespace pelnor {

// The sample the dialog shows.
inline constexpr char kFontSample[] = "AaBbYyZz あいう アイウ 漢字";

// The dialog, set to `start`, not yet shown.
std::unique_ptr<QFontDialog> MakeFontDialog(const QFont& start);

// Shows it and waits: the chosen font, nothing when cancelled.
std::optional<QFont> ChooseFontDialog(const QFont& start);

}  // namespace pelnor
