// quenlo-create-database DIR: creates DIR/DATA.mdb unless it already exists.
// The build runs it so that every build directory holds a record base.
#include <QDir>
#include <QFileInfo>
#include <cstdio>

#include "store/database.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: quenlo-create-database DIRECTORY\n");
    return 2;
  }
  const QString directory = QString::fromLocal8Bit(argv[1]);
  if (QFileInfo::exists(QDir(directory).filePath(QString::fromLatin1(quenlo::kDatabaseFileName)))) {
    return 0;
  }
  if (const quenlo::DbStatus created = quenlo::CreateDatabase(directory); !created.Ok()) {
    std::fprintf(stderr, "%s\n", created.Message().toLocal8Bit().constData());
    return 1;
  }
  return 0;
}
