#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "tray/tray_animate.h"
#include "tray/tray_host.h"
#include "tray/tray_image.h"
#include "tray/tray_mouse.h"
#include "tray/tray_owner.h"
#include "tray/tray_shell.h"
#include "tray/tray_timer.h"

namespace pelnor {

enum class TNotifyAction { naAdd, naModify, naDelete };

// One icon in the notification area: its tool tip, the mouse events and
// menus of that icon, and an optional animation over an image list.
// Everything runs on the UI thread; the animation and the double-click
// wait are timers of the host.
//
// The image list and the menus are held weakly: their owner keeps the
// shared_ptr, and once it lets go the icon no longer sees them (a press
// then falls back to OnMouseDown, an animation finds no frames).
class TTrayIcon {
 public:
  using TNotifyEvent = std::function<void(TTrayIcon& sender)>;
  using TMouseEvent =
      std::function<void(TTrayIcon& sender, TMouseButton button, TShiftState shift, int x, int y)>;
  using TMouseMoveEvent = std::function<void(TTrayIcon& sender, TShiftState shift, int x, int y)>;

  static constexpr int kDefaultAnimateRate = 500;
  static constexpr int kMinAnimateRate = 100;
  // Added to the system's double-click time before a click counts as single.
  static constexpr int kSingleClickSlack = 50;

  // Registers the icon; throws ENotifyIconError when the program already
  // has the most icons it may. `owner` may be null and must outlive the icon.
  explicit TTrayIcon(TTrayHost& host, TTrayOwner* owner = nullptr);
  ~TTrayIcon();
  TTrayIcon(const TTrayIcon&) = delete;
  TTrayIcon& operator=(const TTrayIcon&) = delete;

  // Reading stored properties: between ReadState and Loaded, Visible is only
  // stored, and the tip starts empty instead of "TipHelp".
  void ReadState();
  void Loaded();

  void StartAnimation(bool step);
  void StopAnimation();
  void UpdateIcon();
  void NotifyShell(TNotifyAction action);
  TIcon GetIconHandle() const;

  std::shared_ptr<TImageList> AnimateIcons() const { return animateIcons_.lock(); }
  void SetAnimateIcons(const std::shared_ptr<TImageList>& images);
  int AnimateRate() const { return animateRate_; }
  void SetAnimateRate(int ms);
  bool AutoPopup() const { return autoPopup_; }
  void SetAutoPopup(bool value) { autoPopup_ = value; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  const TIcon& Icon() const { return icon_; }
  void SetIcon(const TIcon& icon);
  std::shared_ptr<TPopupMenu> LBPopupMenu() const { return lbPopupMenu_.lock(); }
  void SetLBPopupMenu(const std::shared_ptr<TPopupMenu>& menu) { lbPopupMenu_ = menu; }
  std::shared_ptr<TPopupMenu> RBPopupMenu() const { return rbPopupMenu_.lock(); }
  void SetRBPopupMenu(const std::shared_ptr<TPopupMenu>& menu) { rbPopupMenu_ = menu; }
  const std::string& TipHelp() const { return tipHelp_; }
  void SetTipHelp(std::string_view tip);  // Shift_JIS
  bool Visible() const { return visible_; }
  void SetVisible(bool value);

  int IconId() const { return iconId_; }
  bool Added() const { return added_; }
  bool Animating() const { return animating_; }
  bool AnimateStep() const { return animateStep_; }
  bool ClickPending() const { return clickPending_; }

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;

 private:
  friend class TCallbackWindow;
  friend class TTrayIconAnimate;

  // A mouse notification for this icon, from the callback window.
  void HandleMouse(TTrayMouseMessage message);

  // Keeps the registry entry for exactly as long as the icon exists.
  class TRegistration {
   public:
    TRegistration(TTrayIconRegistry& registry, TTrayIcon& icon);
    ~TRegistration();
    int Id() const { return id_; }

   private:
    TTrayIconRegistry& registry_;
    int id_;
  };

  TNotifyIconData MakeNotifyData(const TIcon& icon) const;

  void MouseDown(TMouseButton button, TShift shift, int x, int y);
  void MouseUp(TMouseButton button, TShift shift, int x, int y);
  void PopupMenu(const std::shared_ptr<TPopupMenu>& menu, int x, int y);
  void LeftButtonUp(int x, int y);
  void SingleClickEnded();

  TTrayHost& host_;
  TTrayOwner* owner_;
  TRegistration registration_;
  int iconId_;

  std::weak_ptr<TImageList> animateIcons_;
  int animateRate_ = kDefaultAnimateRate;
  bool autoPopup_ = true;
  bool enabled_ = true;
  TIcon icon_;
  std::weak_ptr<TPopupMenu> lbPopupMenu_;
  std::weak_ptr<TPopupMenu> rbPopupMenu_;
  std::string tipHelp_ = "TipHelp";
  bool visible_ = false;

  bool loading_ = false;
  bool added_ = false;
  bool animating_ = false;
  bool animateStep_ = false;
  bool clickPending_ = false;

  std::unique_ptr<TTrayIconAnimate> animate_;  // made on the first start
  std::unique_ptr<TTrayTimer> singleClick_;
  // Expires with the icon; lets code that ran an event see whether the
  // event freed the icon.
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace pelnor
