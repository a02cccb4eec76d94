#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/tray/tray_image.h"

namespace pelnor {

// Bits of NotifyIconData::uFlags.
inline constexpr std::uint32_t NIF_MESSAGE = 1;
inline constexpr std::uint32_t NIF_ICON = 2;
inline constexpr std::uint32_t NIF_TIP = 4;

// The window message the shell's notifications for our icons arrive with.
inline constexpr std::uint32_t kTrayCallbackMessage = 1024 + 200;

// One add, modify or delete request for the notification area. A fresh
// record is built for every request, so a frame sent by the animation never
// shares a buffer with a request from elsewhere.
struct NotifyIconData {
  std::uint32_t cbSize = 88;
  std::uint32_t uID = 0;
  std::uint32_t uFlags = NIF_MESSAGE | NIF_ICON;
  std::uint32_t uCallbackMessage = kTrayCallbackMessage;
  IconHandle hIcon;
  std::string szTip;  // Shift_JIS, at most 62 bytes
};

// Mouse activity on an icon as the shell reports it.
enum class TrayMouseMessage : std::uint32_t {
  tmMouseMove = 0x0200,
  tmLButtonDown = 0x0201,
  tmLButtonUp = 0x0202,
  tmLButtonDblClk = 0x0203,
  tmRButtonDown = 0x0204,
  tmRButtonUp = 0x0205,
  tmRButtonDblClk = 0x0206,
  tmMButtonDown = 0x0207,
  tmMButtonUp = 0x0208,
};

struct TrayPoint {
  int X = 0;
  int Y = 0;
};

// Opaque identity of a window; 0 when there is none.
using WindowHandle = std::uintptr_t;

// The notification area and the few desktop services the tray icon needs.
class TrayShell {
 public:
  virtual ~TrayShell() = default;

  // Each returns whether the shell accepted the request.
  virtual bool Add(const NotifyIconData& data) = 0;
  virtual bool Modify(const NotifyIconData& data) = 0;
  virtual bool Delete(const NotifyIconData& data) = 0;

  virtual TrayPoint CursorPos() = 0;           // screen coordinates
  virtual int DoubleClickTime() = 0;        // milliseconds
  virtual void SetForegroundWindow(WindowHandle window) = 0;
  virtual void ProcessMessages() = 0;       // run pending UI events
  virtual IconHandle ApplicationIcon() = 0;      // empty when the program has none

  // Set by the callback window; the shell calls it, on the UI thread, for
  // every mouse notification of one of our icons.
  std::function<void(int iconId, TrayMouseMessage message)> OnNotify;
};

}  // namespace pelnor
