// Qt's own Chinese translation, so that the standard dialogs and buttons
// (Yes/No, OK/Cancel, the file dialog) speak the window's language.
#pragma once

#include <QString>

class QCoreApplication;

namespace quenlo {

// Where Qt keeps its translations (Debian: qt6-translations-l10n puts
// qtbase_zh_CN.qm there).
QString QtTranslationsDirectory();

// Loads Qt's Simplified Chinese translation into app for as long as app
// lives. False, changing nothing, when the translation is not installed.
bool InstallQtChineseTranslation(QCoreApplication& app);

}  // namespace quenlo
