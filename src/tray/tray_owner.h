#pragma once

#include "tray/tray_image.h"
#include "tray/tray_shell.h"

namespace pelnor {

// What the tray icon needs to know about the component that owns it.
class TTrayOwner {
 public:
  virtual ~TTrayOwner() = default;

  // The owner's own icon when it is a form that has one, else empty.
  virtual TIcon FormIcon() const = 0;
  // The owner's window when it is a windowed control, else 0.
  virtual TWindowHandle Handle() const = 0;
};

// A popup menu the tray icon can show. The menu's owner keeps it in a
// shared_ptr; the tray only holds a weak reference, so a destroyed menu is
// simply no longer there.
class TPopupMenu {
 public:
  virtual ~TPopupMenu() = default;
  virtual void Popup(int x, int y) = 0;  // screen coordinates
};

}  // namespace pelnor
