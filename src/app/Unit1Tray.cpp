// The main form's tray side: the icon with its animation, the menu
// PopupMenu1, the check timer and the click that brings a window forward.

#include <QAction>
#include <QMenu>

#include "app/Unit1.h"
#include "core/text/sjis.h"
#include "core/tray/notify_icon_error.h"
#include "platform/qt_tray_shell.h"

namespace pelnor {

void TForm1::CreateTrayMenu() {
  PopupMenu1 = new QMenu(this);
  auto item = [this](const char* caption, void (TForm1::*handler)()) {
    QAction* action = PopupMenu1->addAction(QString::fromUtf8(caption));
    connect(action, &QAction::triggered, this, [this, handler] { Guarded([=, this] { (this->*handler)(); }); });
    return action;
  };
  N1 = item("ﾒｰﾙﾁｪｯｸ", &TForm1::N1Click);
  PopupMenu1->addSeparator();
  N3 = item("環境設定", &TForm1::N3Click);
  PopupMenu1->addSeparator();
  Help1 = item("ﾍﾙﾌﾟ", &TForm1::Help1Click);
  About1 = item("ﾊﾞｰｼﾞｮﾝ情報", &TForm1::About1Click);
  PopupMenu1->addSeparator();
  N6 = item("作者へのﾒｰﾙ", &TForm1::N6Click);
  N7 = item("作者のﾎｰﾑﾍﾟｰｼﾞへ", &TForm1::N7Click);
  PopupMenu1->addSeparator();
  Exit1 = item("終了", &TForm1::Exit1Click);
  trayMenu_ = std::make_shared<QtTrayMenu>(PopupMenu1);

  std::vector<IconHandle> frames;
  for (const QIcon& frame : AnimationFrames()) frames.push_back(QtTrayIcon(frame));
  ImageList1 = std::make_shared<ImageList>(std::move(frames));
}

// The icon's stored properties, then visible. A desktop without a tray
// host says so once, without waiting for a click: start-up goes on, the
// timed checks run, and the icon appears once a tray host does.
void TForm1::ShowTrayIcon() {
  TrayIcon1->ReadState();
  TrayIcon1->SetIcon(QtTrayIcon(ApplicationIcon()));
  TrayIcon1->SetTipHelp(Sjis("Pelnor"));
  TrayIcon1->SetRBPopupMenu(trayMenu_);
  TrayIcon1->SetAnimateIcons(ImageList1);
  TrayIcon1->OnClick = [this](TrayIcon&) { Guarded([this] { TrayIcon1Click(); }); };
  TrayIcon1->SetVisible(true);
  try {
    TrayIcon1->Loaded();
  } catch (const ENotifyIconError& e) {
    Notice(FromSjis(e.what()));
    return;
  }
  if (!QSystemTrayIcon::isSystemTrayAvailable()) Notice(FromSjis(ENotifyIconError().what()));
}

void TForm1::N1Click() {
  cycle_->N1Click();
  OpenRequestedSettings();
}

void TForm1::Timer1Timer() {
  cycle_->Timer1Timer();
  OpenRequestedSettings();
}

// Also reached from a tick or click that the running check's pump let
// through; only the one the check returns to opens the dialog.
void TForm1::OpenRequestedSettings() {
  if (!settingsRequested_ || cycle_->Running() || ending_) return;
  settingsRequested_ = false;
  N3Click();
}

// Whether or not that window is still visible; the desktop decides what a
// hidden one does.
void TForm1::TrayIcon1Click() {
  if (LastShownForm < fnSettings || LastShownForm > fnAbout) return;
  QWidget* form = LastShownForm == fnSettings ? this : forms_[LastShownForm];
  if (form != nullptr)
    services_.Tray->Shell().SetForegroundWindow(reinterpret_cast<WindowHandle>(form));
}

void TForm1::Help1Click() {
  if (OnHelp) OnHelp();
}

void TForm1::About1Click() {
  if (OnAbout) OnAbout();
}

void TForm1::N6Click() {
  if (OnMailAuthor) OnMailAuthor();
}

void TForm1::N7Click() {
  if (OnHomePage) OnHomePage();
}

// An error that ended a check, as a passing balloon at the icon.
void TForm1::NotifyAtTray(const std::string& text) {
  auto* shell = dynamic_cast<QtTrayShell*>(&services_.Tray->Shell());
  if (shell == nullptr) return;
  if (QSystemTrayIcon* tray = shell->SystemTrayIcon(TrayIcon1->IconId()))
    tray->showMessage(QStringLiteral("Pelnor"), FromSjis(text), QSystemTrayIcon::Warning);
}

}  // namespace pelnor
