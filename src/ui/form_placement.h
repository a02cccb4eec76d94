#pragma once

class QWidget;

namespace pelnor {

// Moves a window to the middle of the screen it is on.
void CenterOnScreen(QWidget& window);

}  // namespace pelnor
