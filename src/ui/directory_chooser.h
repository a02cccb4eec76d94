#pragma once

// DirectoryChooser "添付ﾌｧｲﾙ保存ﾃﾞｨﾚｸﾄﾘ", the attachment directory chooser:
// the mounted volumes, a directory tree and a new-directory button. What OK
// does with the directory and how a new directory is named belong to the
// opener. The tree fills in the background; until the user scrolls or moves
// in it, it keeps the directory set in view while folders arrive above it.

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
  static constexpr int kFormNumber = 4;  // LastShownForm while it is shown

  DirectoryChooser();
  ~DirectoryChooser() override;

  // The directory the tree shows (an absolute path without a trailing "/",
  // except for the root itself).
  QString Directory() const { return directory_; }
  void SetDirectory(const QString& path);

  // Creates `name` inside the directory shown and moves the tree into it.
  // False when it cannot be made (an existing name too).
  bool CreateDirectory(const QString& name);

  // OK with the directory shown: true closes the chooser; false keeps it open.
  std::function<bool(const QString& directory)> OnDirectoryChosen;
  // The new-directory button: the opener asks for the name.
  std::function<void()> OnNewDirectoryAsked;
  std::function<void()> OnClosed;  // the opener is enabled again
  std::function<void()> OnShown;

  void OnNewDirectory();  // the new-directory button
  void OnOk();            // "OK"
  void OnCancel();        // "キャンセル"

  QComboBox* driveCombo = nullptr;
  QToolButton* newDirectoryButton = nullptr;
  QTreeView* directoryList = nullptr;
  QPushButton* okButton = nullptr;
  QPushButton* cancelButton = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void FillDrives();
  void CreateTree();
  void DirectoryClicked(const QModelIndex& index);
  void CurrentChanged(const QModelIndex& current);
  void KeepDirectoryInView();

  QFileSystemModel* model_ = nullptr;
  QString directory_;
  bool followDirectory_ = false;  // the tree still scrolls to directory_
};

}  // namespace pelnor
