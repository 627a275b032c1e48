#include "shell/qt_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace quenlo {

QString QtTranslationsDirectory() { return QLibraryInfo::path(QLibraryInfo::TranslationsPath); }

bool InstallQtChineseTranslation(QCoreApplication& app) {
  auto* translator = new QTranslator(&app);
  if (!translator->load(QStringLiteral("qtbase_zh_CN"), QtTranslationsDirectory()) ||
      !QCoreApplication::installTranslator(translator)) {
    delete translator;
    return false;
  }
  return true;
}

}  // namespace quenlo
