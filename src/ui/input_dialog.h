#pragma once

// InputDialog, the one-line input dialog: a new receiving address for the account
// editor, or a new directory name for the directory chooser. The opener sets
// the caption and decides what the text is for.

#include <QWidget>

#include <functional>

class QLineEdit;
class QPushButton;

namespace pelnor {

class InputDialog : public QWidget {
 public:
  InputDialog();

  // Empties the text box, sets the caption and shows the dialog.
  void Open(const QString& caption);

  // OK: true closes the dialog; false keeps it open as the handler left it.
  std::function<bool(const QString& text)> OnOK;
  // Whenever the dialog closes: the opener is enabled again.
  std::function<void()> OnClosed;
  // Whenever the dialog is shown.
  std::function<void()> OnShown;

  void Button1Click();  // "OK"
  void Button2Click();  // "キャンセル"

  QLineEdit* Edit1 = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
};

}  // namespace pelnor
