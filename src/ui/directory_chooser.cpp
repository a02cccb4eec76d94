#include "ui/directory_chooser.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
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
  setFixedSize(204, 285);

  auto* toolbar = new QToolBar(this);
  driveCombo = new QComboBox(toolbar);
  driveCombo->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  toolbar->addWidget(driveCombo);
  newDirectoryButton = new QToolButton(toolbar);
  newDirectoryButton->setIcon(style()->standardIcon(QStyle::SP_FileDialogNewFolder));
  newDirectoryButton->setToolTip(QStringLiteral("新規ﾃﾞｨﾚｸﾄﾘ作成"));
  toolbar->addWidget(newDirectoryButton);

  model_ = new QFileSystemModel(this);
  model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
  model_->setRootPath(QDir::rootPath());
  directoryList = new QTreeView(this);
  directoryList->setModel(model_);
  directoryList->setHeaderHidden(true);
  for (int column = 1; column < model_->columnCount(); ++column)
    directoryList->hideColumn(column);

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
  connect(directoryList, &QTreeView::clicked, this,
          [this](const QModelIndex& index) { DirectoryClicked(index); });
  connect(newDirectoryButton, &QToolButton::clicked, this, [this] { OnNewDirectory(); });
  connect(okButton, &QPushButton::clicked, this, [this] { OnOk(); });
  connect(cancelButton, &QPushButton::clicked, this, [this] { OnCancel(); });
  SetDirectory(QDir::rootPath());
}

DirectoryChooser::~DirectoryChooser() = default;

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
  directoryList->scrollTo(index);
  // The drive list follows the volume that holds the directory.
  const int drive = driveCombo->findData(QStorageInfo(directory_).rootPath());
  if (drive >= 0) driveCombo->setCurrentIndex(drive);
}

void DirectoryChooser::DirectoryClicked(const QModelIndex& index) {
  directory_ = model_->filePath(index);
  directoryList->expand(index);
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
  if (OnShown) OnShown();
}

void DirectoryChooser::closeEvent(QCloseEvent* event) {
  event->accept();
  if (OnClosed) OnClosed();
}

}  // namespace pelnor
