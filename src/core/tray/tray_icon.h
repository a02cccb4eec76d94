#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/tray/tray_animate.h"
#include "core/tray/tray_host.h"
#include "core/tray/tray_image.h"
#include "core/tray/tray_mouse.h"
#include "core/tray/tray_owner.h"
#include "core/tray/tray_shell.h"
#include "core/tray/tray_timer.h"

namespace pelnor {

enum class NotifyAction { naAdd, naModify, naDelete };

// One icon in the notification area: its tool tip, the mouse events and
// menus of that icon, and an optional animation over an image list.
// Everything runs on the UI thread; the animation and the double-click
// wait are timers of the host.
//
// The image list and the menus are held weakly: their owner keeps the
// shared_ptr, and once it lets go the icon no longer sees them (a press
// then falls back to OnMouseDown, an animation finds no frames).
class TrayIcon {
 public:
  using NotifyEvent = std::function<void(TrayIcon& sender)>;
  using MouseEvent =
      std::function<void(TrayIcon& sender, MouseButton button, ShiftState shift, int x, int y)>;
  using MouseMoveEvent = std::function<void(TrayIcon& sender, ShiftState shift, int x, int y)>;

  static constexpr int kDefaultAnimateRate = 500;
  static constexpr int kMinAnimateRate = 100;
  // Added to the system's double-click time before a click counts as single.
  static constexpr int kSingleClickSlack = 50;

  // Registers the icon; throws ENotifyIconError when the program already
  // has the most icons it may. `owner` may be null and must outlive the icon.
  explicit TrayIcon(TrayHost& host, TrayOwner* owner = nullptr);
  ~TrayIcon();
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // Reading stored properties: between ReadState and Loaded, Visible is only
  // stored, and the tip starts empty instead of "TipHelp".
  void ReadState();
  void Loaded();

  void StartAnimation(bool step);
  void StopAnimation();
  void UpdateIcon();
  void NotifyShell(NotifyAction action);
  IconHandle GetIconHandle() const;

  std::shared_ptr<ImageList> AnimateIcons() const { return animateIcons_.lock(); }
  void SetAnimateIcons(const std::shared_ptr<ImageList>& images);
  int AnimateRate() const { return animateRate_; }
  void SetAnimateRate(int ms);
  bool AutoPopup() const { return autoPopup_; }
  void SetAutoPopup(bool value) { autoPopup_ = value; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  const IconHandle& Icon() const { return icon_; }
  void SetIcon(const IconHandle& icon);
  std::shared_ptr<TrayMenu> LBPopupMenu() const { return lbPopupMenu_.lock(); }
  void SetLBPopupMenu(const std::shared_ptr<TrayMenu>& menu) { lbPopupMenu_ = menu; }
  std::shared_ptr<TrayMenu> RBPopupMenu() const { return rbPopupMenu_.lock(); }
  void SetRBPopupMenu(const std::shared_ptr<TrayMenu>& menu) { rbPopupMenu_ = menu; }
  const std::string& TipHelp() const { return tipHelp_; }
  void SetTipHelp(std::string_view tip);  // Shift_JIS
  bool Visible() const { return visible_; }
  void SetVisible(bool value);

  int IconId() const { return iconId_; }
  bool Added() const { return added_; }
  bool Animating() const { return animating_; }
  bool AnimateStep() const { return animateStep_; }
  bool ClickPending() const { return clickPending_; }

  NotifyEvent OnClick;
  NotifyEvent OnDblClick;
  MouseEvent OnMouseDown;
  MouseMoveEvent OnMouseMove;
  MouseEvent OnMouseUp;

 private:
  friend class CallbackWindow;
  friend class TrayIconAnimation;

  // A mouse notification for this icon, from the callback window.
  void HandleMouse(TrayMouseMessage message);

  // Keeps the registry entry for exactly as long as the icon exists.
  class Registration {
   public:
    Registration(TrayIconRegistry& registry, TrayIcon& icon);
    ~Registration();
    int Id() const { return id_; }

   private:
    TrayIconRegistry& registry_;
    int id_;
  };

  NotifyIconData MakeNotifyData(const IconHandle& icon) const;

  void MouseDown(MouseButton button, Shift shift, int x, int y);
  void MouseUp(MouseButton button, Shift shift, int x, int y);
  void PopupMenu(const std::shared_ptr<TrayMenu>& menu, int x, int y);
  void LeftButtonUp(int x, int y);
  void SingleClickEnded();

  TrayHost& host_;
  TrayOwner* owner_;
  Registration registration_;
  int iconId_;

  std::weak_ptr<ImageList> animateIcons_;
  int animateRate_ = kDefaultAnimateRate;
  bool autoPopup_ = true;
  bool enabled_ = true;
  IconHandle icon_;
  std::weak_ptr<TrayMenu> lbPopupMenu_;
  std::weak_ptr<TrayMenu> rbPopupMenu_;
  std::string tipHelp_ = "TipHelp";
  bool visible_ = false;

  bool loading_ = false;
  bool added_ = false;
  bool animating_ = false;
  bool animateStep_ = false;
  bool clickPending_ = false;

  std::unique_ptr<TrayIconAnimation> animate_;  // made on the first start
  std::unique_ptr<TrayTimer> singleClick_;
  // Expires with the icon; lets code that ran an event see whether the
  // event freed the icon.
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace pelnor
