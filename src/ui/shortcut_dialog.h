#pragma once

// ShortcutDialog, the shortcut dialog "ｼｮｰﾄｶｯﾄ設定" of the first start: offers
// a launcher in the autostart folder and one on the desktop. "OK" writes the
// checked ones; the close box writes none. Either way its closing hands the
// user on to the settings dialog.

#include <QWidget>

#include <functional>
#include <string>

#include "core/shell/shortcut_maker.h"

class QCheckBox;
class QPushButton;

namespace pelnor {

struct ShortcutDialogServices {
  std::string ExecutableDir;     // of the program the launchers start; ends in "/"
  std::string LauncherArguments; // the launchers' command-line tail (ArgumentsText)
  ShellEnvironment Environment;
  std::function<void(int)> SetLastShownForm;  // called with 5 when shown
  std::function<void()> OnFirstStartClosed;   // the hand-over to the settings dialog
  std::function<void(const QString&)> ShowError;  // a launcher that failed
};

class ShortcutDialog : public QWidget {
 public:
  static constexpr int kFormNumber = 5;

  explicit ShortcutDialog(ShortcutDialogServices services, QWidget* parent = nullptr);

  void OnOk();  // "OK"

  QCheckBox* autostartCheck = nullptr;
  QCheckBox* desktopCheck = nullptr;
  QPushButton* okButton = nullptr;
  ShortcutMaker shortcutMaker;

  // Set while this is the first start; the first closing clears it and
  // hands over, later closings (the tray can bring the dialog back) do not.
  bool FirstStart = false;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;  // always closes

 private:
  ShortcutDialogServices services_;
};

}  // namespace pelnor
