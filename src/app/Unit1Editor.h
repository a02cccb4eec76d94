#pragma once

// The account editor's window as the settings dialog opens it. The editor
// itself (its fields, OK and "キャンセル") belongs to its own unit; until it
// is there this is its empty window, so "新規" and "編集" show where it will
// be and the dialog's disable/enable round trip works.

#include <QWidget>

#include <functional>

namespace pelnor {

class TAccountEditorWindow : public QWidget {
 public:
  TAccountEditorWindow();

  // Whenever the window closes: the settings dialog is enabled again.
  std::function<void()> OnClosed;

 protected:
  void closeEvent(QCloseEvent* event) override;
};

}  // namespace pelnor
