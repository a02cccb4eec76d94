#pragma once

#include "core/tray/tray_image.h"
#include "core/tray/tray_shell.h"

namespace pelnor {

// What the tray icon needs to know about the component that owns it.
class TrayOwner {
 public:
  virtual ~TrayOwner() = default;

  // The owner's own icon when it is a form that has one, else empty.
  virtual IconHandle FormIcon() const = 0;
  // The owner's window when it is a windowed control, else 0.
  virtual WindowHandle Handle() const = 0;
};

// A popup menu the tray icon can show. The menu's owner keeps it in a
// shared_ptr; the tray only holds a weak reference, so a destroyed menu is
// simply no longer there.
class TrayMenu {
 public:
  virtual ~TrayMenu() = default;
  virtual void Popup(int x, int y) = 0;  // screen coordinates
};

}  // namespace pelnor
