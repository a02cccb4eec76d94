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
  DriveComboBox1 = new QComboBox(toolbar);
  DriveComboBox1->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  toolbar->addWidget(DriveComboBox1);
  ToolButton2 = new QToolButton(toolbar);
  ToolButton2->setIcon(style()->standardIcon(QStyle::SP_FileDialogNewFolder));
  ToolButton2->setToolTip(QStringLiteral("新規ﾃﾞｨﾚｸﾄﾘ作成"));
  toolbar->addWidget(ToolButton2);

  model_ = new QFileSystemModel(this);
  model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
  model_->setRootPath(QDir::rootPath());
  DirectoryListBox1 = new QTreeView(this);
  DirectoryListBox1->setModel(model_);
  DirectoryListBox1->setHeaderHidden(true);
  for (int column = 1; column < model_->columnCount(); ++column)
    DirectoryListBox1->hideColumn(column);

  Button1 = new QPushButton(QStringLiteral("OK"), this);
  Button2 = new QPushButton(QStringLiteral("キャンセル"), this);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 2, 4, 4);
  layout->setSpacing(4);
  layout->addWidget(toolbar);
  layout->addWidget(DirectoryListBox1);
  layout->addLayout(buttons);

  FillDrives();
  connect(DriveComboBox1, &QComboBox::activated, this,
          [this](int item) { SetDirectory(DriveComboBox1->itemData(item).toString()); });
  connect(DirectoryListBox1, &QTreeView::clicked, this,
          [this](const QModelIndex& index) { DirectoryClicked(index); });
  connect(ToolButton2, &QToolButton::clicked, this, [this] { ToolButton2Click(); });
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
  SetDirectory(QDir::rootPath());
}

DirectoryChooser::~DirectoryChooser() = default;

// The volumes stand where a drive list would: the root and what is mounted.
void DirectoryChooser::FillDrives() {
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    if (!volume.isValid() || !volume.isReady() || volume.isReadOnly()) continue;
    DriveComboBox1->addItem(volume.rootPath(), volume.rootPath());
  }
  if (DriveComboBox1->findData(QDir::rootPath()) < 0)
    DriveComboBox1->insertItem(0, QDir::rootPath(), QDir::rootPath());
}

void DirectoryChooser::SetDirectory(const QString& path) {
  directory_ = QDir::cleanPath(QDir(path).absolutePath());
  const QModelIndex index = model_->index(directory_);
  DirectoryListBox1->setCurrentIndex(index);
  DirectoryListBox1->expand(index);
  DirectoryListBox1->scrollTo(index);
  // The drive list follows the volume that holds the directory.
  const int drive = DriveComboBox1->findData(QStorageInfo(directory_).rootPath());
  if (drive >= 0) DriveComboBox1->setCurrentIndex(drive);
}

void DirectoryChooser::DirectoryClicked(const QModelIndex& index) {
  directory_ = model_->filePath(index);
  DirectoryListBox1->expand(index);
}

bool DirectoryChooser::CreateDirectory(const QString& name) {
  QDir here(directory_);
  if (name.isEmpty() || !here.mkdir(name)) return false;
  SetDirectory(here.filePath(name));
  return true;
}

void DirectoryChooser::ToolButton2Click() {
  if (OnNewDirectory) OnNewDirectory();
}

void DirectoryChooser::Button1Click() {
  if (!OnOK || OnOK(directory_)) close();
}

void DirectoryChooser::Button2Click() { close(); }

void DirectoryChooser::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (OnShown) OnShown();
}

void DirectoryChooser::closeEvent(QCloseEvent* event) {
  event->accept();
  if (OnClosed) OnClosed();
}

}  // namespace pelnor
