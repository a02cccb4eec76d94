#include "ui/directory_chooser.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QFontMetrics>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStorageInfo>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "ui/form_placement.h"

namespace pelnor {

DirectoryChooser::DirectoryChooser() : QWidget(nullptr, Qt::Dialog) {
  setWindowTitle(QStringLiteral("添付ﾌｧｲﾙ保存ﾃﾞｨﾚｸﾄﾘ"));
  // Room for folder names a few levels deep and a screenful of them, in the
  // font in use; never smaller than the old chooser.
  const QFontMetrics metrics(font());
  setMinimumSize(204, 285);
  resize(QSize(metrics.averageCharWidth() * 56, metrics.lineSpacing() * 26).expandedTo(minimumSize()));

  auto* toolbar = new QToolBar(this);
  driveCombo = new QComboBox(toolbar);
  driveCombo->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  toolbar->addWidget(driveCombo);
  newDirectoryButton = new QToolButton(toolbar);
  newDirectoryButton->setIcon(style()->standardIcon(QStyle::SP_FileDialogNewFolder));
  newDirectoryButton->setToolTip(QStringLiteral("新規ﾃﾞｨﾚｸﾄﾘ作成"));
  toolbar->addWidget(newDirectoryButton);

  CreateTree();

  okButton = new QPushButton(QStringLiteral("OK"), this);
  cancelButton = new QPushButton(QStringLiteral("キャンセル"), this);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(okButton);
  buttons->addWidget(cancelButton);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 2, 4, 4);
  layout->setSpacing(4);
  layout->addWidget(toolbar);
  layout->addWidget(directoryList);
  layout->addLayout(buttons);

  FillDrives();
  connect(driveCombo, &QComboBox::activated, this,
          [this](int item) { SetDirectory(driveCombo->itemData(item).toString()); });
  connect(newDirectoryButton, &QToolButton::clicked, this, [this] { OnNewDirectory(); });
  connect(okButton, &QPushButton::clicked, this, [this] { OnOk(); });
  connect(cancelButton, &QPushButton::clicked, this, [this] { OnCancel(); });
  SetDirectory(QDir::rootPath());
}

DirectoryChooser::~DirectoryChooser() = default;

void DirectoryChooser::CreateTree() {
  model_ = new QFileSystemModel(this);
  model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
  model_->setRootPath(QDir::rootPath());
  directoryList = new QTreeView(this);
  directoryList->setModel(model_);
  directoryList->setHeaderHidden(true);
  for (int column = 1; column < model_->columnCount(); ++column)
    directoryList->hideColumn(column);
  // Long names are scrolled to, not cut.
  directoryList->header()->setStretchLastSection(false);
  directoryList->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);

  connect(directoryList, &QTreeView::clicked, this,
          [this](const QModelIndex& index) { DirectoryClicked(index); });
  connect(directoryList->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) { CurrentChanged(current); });
  // Folders arriving, or sorted, above the directory push it down.
  connect(model_, &QFileSystemModel::rowsInserted, this, [this] { KeepDirectoryInView(); });
  connect(model_, &QFileSystemModel::layoutChanged, this, [this] { KeepDirectoryInView(); });
  connect(model_, &QFileSystemModel::directoryLoaded, this, [this] { KeepDirectoryInView(); });
  for (QScrollBar* bar : {directoryList->verticalScrollBar(), directoryList->horizontalScrollBar()})
    connect(bar, &QScrollBar::actionTriggered, this, [this] { followDirectory_ = false; });
}

// The volumes stand where a drive list would: the root and what is mounted.
void DirectoryChooser::FillDrives() {
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    if (!volume.isValid() || !volume.isReady() || volume.isReadOnly()) continue;
    driveCombo->addItem(volume.rootPath(), volume.rootPath());
  }
  if (driveCombo->findData(QDir::rootPath()) < 0)
    driveCombo->insertItem(0, QDir::rootPath(), QDir::rootPath());
}

void DirectoryChooser::SetDirectory(const QString& path) {
  directory_ = QDir::cleanPath(QDir(path).absolutePath());
  const QModelIndex index = model_->index(directory_);
  directoryList->setCurrentIndex(index);
  directoryList->expand(index);
  followDirectory_ = true;
  KeepDirectoryInView();
  // The drive list follows the volume that holds the directory.
  const int drive = driveCombo->findData(QStorageInfo(directory_).rootPath());
  if (drive >= 0) driveCombo->setCurrentIndex(drive);
}

void DirectoryChooser::DirectoryClicked(const QModelIndex& index) {
  followDirectory_ = false;
  directory_ = model_->filePath(index);
  directoryList->expand(index);
}

// A click or a key moves the current folder: that is the directory now, and
// the user's to keep in view.
void DirectoryChooser::CurrentChanged(const QModelIndex& current) {
  if (!current.isValid()) return;
  const QString path = model_->filePath(current);
  if (path == directory_) return;
  followDirectory_ = false;
  directory_ = path;
}

void DirectoryChooser::KeepDirectoryInView() {
  if (!followDirectory_) return;
  const QModelIndex index = model_->index(directory_);
  if (!index.isValid()) return;
  directoryList->scrollTo(index, QAbstractItemView::PositionAtCenter);
  // Down the tree, not along it: the folders that hold it stay in sight.
  directoryList->horizontalScrollBar()->setValue(0);
}

bool DirectoryChooser::CreateDirectory(const QString& name) {
  QDir here(directory_);
  if (name.isEmpty() || !here.mkdir(name)) return false;
  SetDirectory(here.filePath(name));
  return true;
}

void DirectoryChooser::OnNewDirectory() {
  if (OnNewDirectoryAsked) OnNewDirectoryAsked();
}

void DirectoryChooser::OnOk() {
  if (!OnDirectoryChosen || OnDirectoryChosen(directory_)) close();
}

void DirectoryChooser::OnCancel() { close(); }

void DirectoryChooser::showEvent(QShowEvent* event) {
  directoryList->setFocus(Qt::OtherFocusReason);
  QWidget::showEvent(event);
  KeepDirectoryInView();  // set while hidden, the tree had no size to scroll in
  if (OnShown) OnShown();
}

void DirectoryChooser::closeEvent(QCloseEvent* event) {
  event->accept();
  if (OnClosed) OnClosed();
}

}  // namespace pelnor
