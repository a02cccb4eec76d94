#include "app/shown_windows.h"

#include <QEvent>

namespace pelnor {

void ShownWindows::Register(WindowNumber number, QWidget* window) {
  windows_.at(static_cast<size_t>(number)) = window;
  window->installEventFilter(this);
}

WindowNumber ShownWindows::Last() const {
  if (last_ < 0 || last_ >= kCount) return WindowNumber::None;
  return static_cast<WindowNumber>(last_);
}

QWidget* ShownWindows::Window(WindowNumber number) const {
  if (number == WindowNumber::None) return nullptr;
  return windows_.at(static_cast<size_t>(number)).data();
}

bool ShownWindows::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Show)
    for (int number = 1; number < kCount; ++number)
      if (windows_[number] == watched) last_ = number;
  return QObject::eventFilter(watched, event);
}

}  // namespace pelnor
