#pragma once

// DirectoryChooser "添付ﾌｧｲﾙ保存ﾃﾞｨﾚｸﾄﾘ", the attachment directory chooser: the mounted
// volumes, a directory tree and a new-directory button. What OK does with
// the directory and how a new directory is named belong to the opener.

#include <QString>
#include <QWidget>

#include <functional>

class QComboBox;
class QFileSystemModel;
class QModelIndex;
class QPushButton;
class QToolButton;
class QTreeView;

namespace pelnor {

class DirectoryChooser : public QWidget {
 public:
  DirectoryChooser();
  ~DirectoryChooser() override;

  // The directory the tree shows (an absolute path without a trailing "/",
  // except for the root itself).
  QString Directory() const { return directory_; }
  void SetDirectory(const QString& path);

  // Creates `name` inside the directory shown and moves the tree into it.
  // False when it cannot be made (an existing name too).
  bool CreateDirectory(const QString& name);

  // OK: true closes the chooser; false keeps it open.
  std::function<bool(const QString& directory)> OnOK;
  std::function<void()> OnNewDirectory;  // ToolButton2
  std::function<void()> OnClosed;        // the opener is enabled again
  std::function<void()> OnShown;

  void ToolButton2Click();
  void Button1Click();  // "OK"
  void Button2Click();  // "キャンセル"

  QComboBox* DriveComboBox1 = nullptr;
  QToolButton* ToolButton2 = nullptr;
  QTreeView* DirectoryListBox1 = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void FillDrives();
  void DirectoryClicked(const QModelIndex& index);

  QFileSystemModel* model_ = nullptr;
  QString directory_;
};

}  // namespace pelnor
