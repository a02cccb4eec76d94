// The application's tray side: the icon with its animation, the menu, the
// check timer and the click that brings a window forward.

#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>

#include <exception>
#include <vector>

#include "app/application.h"
#include "app/icons.h"
#include "core/text/sjis.h"
#include "core/tray/notify_icon_error.h"
#include "platform/print_text.h"  // FromSjis
#include "platform/qt_tray_shell.h"

namespace pelnor {

void Application::CreateTrayMenu() {
  trayMenu_ = std::make_unique<QMenu>();
  QMenu* menu = trayMenu_.get();
  auto item = [this, menu](const char* caption, void (Application::*handler)()) {
    QAction* action = menu->addAction(QString::fromUtf8(caption));
    QObject::connect(action, &QAction::triggered, menu,
                     [this, handler] { Guarded([this, handler] { (this->*handler)(); }); });
    return action;
  };
  menuActions_.checkNowAction = item("ﾒｰﾙﾁｪｯｸ", &Application::OnCheckNow);
  menu->addSeparator();
  menuActions_.settingsAction = item("環境設定", &Application::OnSettings);
  menu->addSeparator();
  menuActions_.helpAction = item("ﾍﾙﾌﾟ", &Application::OnHelp);
  menuActions_.aboutAction = item("ﾊﾞｰｼﾞｮﾝ情報", &Application::OnAbout);
  menu->addSeparator();
  menuActions_.mailAuthorAction = item("作者へのﾒｰﾙ", &Application::OnMailAuthor);
  menuActions_.homePageAction = item("作者のﾎｰﾑﾍﾟｰｼﾞへ", &Application::OnHomePage);
  menu->addSeparator();
  menuActions_.exitAction = item("終了", &Application::OnExit);
  trayPopup_ = std::make_shared<QtTrayMenu>(menu);

  std::vector<IconHandle> frames;
  for (const QIcon& frame : AnimationFrames()) frames.push_back(QtTrayIcon(frame));
  animationFrames_ = std::make_shared<ImageList>(std::move(frames));
}

// The icon's stored properties, then visible. A desktop without a tray
// host says so once, without waiting for a click: start-up goes on, the
// timed checks run, and the icon appears once a tray host does.
void Application::ShowTrayIcon() {
  trayIcon_->ReadState();
  trayIcon_->SetIcon(QtTrayIcon(ApplicationIcon()));
  trayIcon_->SetTipHelp(Sjis("Pelnor"));
  trayIcon_->SetRBPopupMenu(trayPopup_);
  trayIcon_->SetAnimateIcons(animationFrames_);
  trayIcon_->OnClick = [this](TrayIcon&) { Guarded([this] { OnTrayClick(); }); };
  trayIcon_->SetVisible(true);
  try {
    trayIcon_->Loaded();
  } catch (const ENotifyIconError& e) {
    Notice(FromSjis(e.what()));
    return;
  }
  if (!QSystemTrayIcon::isSystemTrayAvailable()) Notice(FromSjis(ENotifyIconError().what()));
}

void Application::OnCheckNow() { checker_.OnCheckNow(); }

void Application::OnCheckTimer() { checker_.OnCheckTimer(); }

// While a check runs the dialog waits for its end: the check would re-arm
// the timer under the open dialog, and an account deleted meanwhile would
// lose the history file the check is writing.
void Application::OnSettings() {
  if (checker_.Cycle().Running()) {
    settingsRequested_ = true;
    return;
  }
  OpenSettingsDialog();
}

// Also reached from a tick or click that the running check's pump let
// through; only the one the check returns to opens the dialog.
void Application::OpenRequestedSettings() {
  if (!settingsRequested_ || checker_.Cycle().Running() || checker_.Ending()) return;
  settingsRequested_ = false;
  OnSettings();
}

// Whether or not that window is still visible; the desktop decides what a
// hidden one does.
void Application::OnTrayClick() {
  if (QWidget* window = shownWindows_.Window(shownWindows_.Last()))
    services_.Tray->Shell().SetForegroundWindow(reinterpret_cast<WindowHandle>(window));
}

// An error that ended a check, as a passing balloon at the icon.
void Application::NotifyAtTray(const std::string& text) {
  auto* shell = dynamic_cast<QtTrayShell*>(&services_.Tray->Shell());
  if (shell == nullptr) return;
  if (QSystemTrayIcon* tray = shell->SystemTrayIcon(trayIcon_->IconId()))
    tray->showMessage(QStringLiteral("Pelnor"), FromSjis(text), QSystemTrayIcon::Warning);
}

}  // namespace pelnor
