// Draws the account editor, its font dialog, input dialog and directory
// chooser, the shortcut dialog and the About box into PNG files, each as the program
// shows it: the dialogs are built and wired as in main.cpp over the program
// directory given, opened through their own handlers, and grabbed.
//
//   pelnor_screenshot_forms PROGRAM_DIR OUT_DIR
//
// PROGRAM_DIR must hold a User.inf with at least one account.

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QEventLoop>
#include <QFontDialog>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOptionTitleBar>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <string>

#include "app/application.h"
#include "app/icons.h"
#include "platform/qt_printer.h"
#include "platform/qt_translations.h"
#include "platform/qt_tray_shell.h"
#include "platform/qt_tray_timer.h"
#include "core/tray/tray_host.h"
#include "platform/print_font.h"
#include "ui/account_editor_dialog.h"
#include "ui/font_dialog.h"
#include "ui/settings_dialog.h"

namespace {

// Long enough for a shown window to be laid out and painted.
void Settle() {
  QEventLoop loop;
  QTimer::singleShot(300, &loop, &QEventLoop::quit);
  loop.exec();
}

// The form under a title bar drawn by the style, since Xvfb runs no window
// manager to frame it; several dialogs tell what they are for only there.
QPixmap Framed(QWidget* form) {
  const QPixmap body = form->grab();
  QStyleOptionTitleBar bar;
  bar.initFrom(form);
  bar.text = form->windowTitle();
  bar.icon = form->windowIcon();
  bar.titleBarState = Qt::WindowActive;
  bar.titleBarFlags = Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint;
  bar.state |= QStyle::State_Active;
  const int height = form->style()->pixelMetric(QStyle::PM_TitleBarHeight, &bar, form);
  // Painted in the form's own units; under QT_SCALE_FACTOR its grab holds
  // more pixels than units.
  const qreal ratio = body.devicePixelRatio();
  const QSize size = body.deviceIndependentSize().toSize() + QSize(0, height);
  bar.rect = QRect(0, 0, size.width(), height);
  QPixmap framed(size * ratio);
  framed.setDevicePixelRatio(ratio);
  framed.fill(form->palette().color(QPalette::Window));
  QPainter painter(&framed);
  form->style()->drawComplexControl(QStyle::CC_TitleBar, &bar, &painter, form);
  painter.drawPixmap(0, height, body);
  painter.setPen(form->palette().color(QPalette::Mid));
  painter.drawRect(QRect(QPoint(0, 0), size).adjusted(0, 0, -1, -1));
  return framed;
}

bool Save(QWidget* form, const QString& path) {
  Settle();
  const bool saved = Framed(form).save(path);
  std::fprintf(saved ? stdout : stderr, "%s %s\n", saved ? "wrote" : "could not write",
               qPrintable(path));
  return saved;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s PROGRAM_DIR OUT_DIR\n", argv[0]);
    return 2;
  }
  const std::string programDir = QDir(argv[1]).absolutePath().toStdString() + "/";
  const QString out = QDir(argv[2]).absolutePath() + "/";
  QApplication::setQuitOnLastWindowClosed(false);
  QApplication::setWindowIcon(pelnor::ApplicationIcon());
  pelnor::InstallQtTranslations(app);

  pelnor::QtTrayShell shell;
  pelnor::QtTrayTimerFactory timers;
  pelnor::TrayHost host(shell, timers);
  pelnor::QtPrinter printer(programDir);
  // Nothing may wait for a click here.
  auto report = [](const QString& text) { std::fprintf(stderr, "%s\n", qPrintable(text)); };

  pelnor::ApplicationServices services;
  services.ProgramDir = programDir;
  services.Tray = &host;
  services.Printer = &printer;
  services.ShowMessage = [report](const QString& text, QMessageBox::Icon) { report(text); };
  pelnor::Application application(std::move(services));
  pelnor::ShellDialogsServices shellServices = application.ShellServices();
  shellServices.ShowWarning = report;
  pelnor::ShellDialogs shellDialogs(std::move(shellServices));
  application.ConnectShellDialogs(shellDialogs);
  application.Start();
  if (application.Accounts().empty()) {
    std::fprintf(stderr, "no account in %sUser.inf\n", programDir.c_str());
    return 1;
  }

  bool saved = true;
  pelnor::SettingsDialog& settings = application.SettingsWindow();
  pelnor::AccountEditorDialog& editor = application.AccountEditor();
  settings.accountCheckList->setCurrentRow(0);
  settings.OnEditAccount();  // "編集"
  saved &= Save(&editor, out + "account-editor.png");
  // "変更": Qt's font dialog, as the editor opens it.
  const std::unique_ptr<QFontDialog> fontDialog = pelnor::MakeFontDialog(pelnor::ToQFont(printer.Font()));
  fontDialog->show();
  saved &= Save(fontDialog.get(), out + "font-dialog.png");
  fontDialog->reject();
  editor.OnAddAddress();  // "追加"
  saved &= Save(editor.inputDialog.get(), out + "input-dialog.png");
  editor.inputDialog->OnCancel();
  editor.saveAttachmentsCheck->setChecked(true);
  editor.OnBrowse();  // "参照": opens on the account's directory, the tree filling meanwhile
  saved &= Save(editor.directoryChooser.get(), out + "directory-chooser.png");
  editor.directoryChooser->OnCancel();
  editor.OnCancel();

  shellDialogs.ShowShortcutDialog();
  saved &= Save(shellDialogs.Shortcut(), out + "shortcut-dialog.png");
  shellDialogs.Shortcut()->hide();  // closing it would hand over to the settings dialog
  application.OnAbout();
  saved &= Save(shellDialogs.About(), out + "about-box.png");
  return saved ? 0 : 1;
}
