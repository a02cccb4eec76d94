#pragma once

// InputDialog, the one-line input dialog: a new receiving address for the
// account editor, or a new directory name for the directory chooser. The
// opener sets the caption and decides what the text is for.

#include <QWidget>

#include <functional>

class QLineEdit;
class QPushButton;

namespace pelnor {

class InputDialog : public QWidget {
 public:
  static constexpr int kFormNumber = 3;  // LastShownForm while it is shown

  InputDialog();

  // Empties the text box, sets the caption and shows the dialog.
  void Open(const QString& caption);

  // OK with the typed text: true closes the dialog; false keeps it open as
  // the handler left it.
  std::function<bool(const QString& text)> OnTextEntered;
  // Whenever the dialog closes: the opener is enabled again.
  std::function<void()> OnClosed;
  // Whenever the dialog is shown.
  std::function<void()> OnShown;

  void OnOk();      // "OK"
  void OnCancel();  // "キャンセル"

  QLineEdit* textEdit = nullptr;
  QPushButton* okButton = nullptr;
  QPushButton* cancelButton = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
};

}  // namespace pelnor
