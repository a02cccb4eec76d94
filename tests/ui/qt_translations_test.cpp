// Qt's own texts in the program's dialogs: Japanese once the program's start
// has installed Qt's translations. The Japanese desktop is set through
// QLocale::setDefault, so that the test needs no generated system locale.

#include "platform/qt_translations.h"

#include <QAction>
#include <QApplication>
#include <QFontDialog>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>

#include <gtest/gtest.h>

#include <memory>

#include "support/temp_dir.h"
#include "ui/font_dialog.h"

namespace pelnor {
namespace {

QStringList MenuTexts(QLineEdit& edit) {
  const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
  QStringList texts;
  for (const QAction* action : menu->actions()) texts << action->text().section(QLatin1Char('\t'), 0, 0);
  return texts;
}

TEST(QtTranslations, TheFontDialogAndTheTextBoxMenuSpeakJapanese) {
  QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
  ASSERT_TRUE(InstallQtTranslations(*QCoreApplication::instance()))
      << "qtbase_ja.qm in " << qPrintable(QtTranslationsDir());

  const std::unique_ptr<QFontDialog> dialog = MakeFontDialog(QFont(QStringLiteral("IPAGothic"), 10));
  EXPECT_EQ(dialog->windowTitle().toStdString(), "フォントの選択");
  QStringList boxes;
  for (const QLineEdit* edit : dialog->findChildren<QLineEdit*>()) boxes << edit->text();
  EXPECT_TRUE(boxes.contains(QString::fromUtf8(kFontSample))) << qPrintable(boxes.join('|'));

  QLineEdit edit;
  EXPECT_TRUE(MenuTexts(edit).contains(QStringLiteral("貼り付け(&P)")))
      << qPrintable(MenuTexts(edit).join('|'));
}

TEST(QtTranslations, AFolderWithoutThemIsReported) {
  const test::TempDir empty("qt-translations-");
  EXPECT_FALSE(InstallQtTranslations(*QCoreApplication::instance(), QString::fromStdString(empty.Path().string())));
}

}  // namespace
}  // namespace pelnor
