#pragma once

// Qt's own texts in Japanese, as the program's own are: the font dialog,
// a text box's right-click menu, the standard buttons. Always, whatever the
// desktop's language: a Japanese screen with "Select Font" or "Paste" in it
// is the program's screen all the same.

#include <QString>

class QCoreApplication;

namespace pelnor {

// Where Qt's translations live (Debian's qt6-translations-l10n puts
// qtbase_ja.qm there).
QString QtTranslationsDir();

// Installs qtbase_ja.qm from `directory` into `app`, which owns it from
// then on. False when the file cannot be loaded: Qt then speaks English.
bool InstallQtTranslations(QCoreApplication& app, const QString& directory = QtTranslationsDir());

}  // namespace pelnor
