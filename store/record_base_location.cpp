// Where the record base lives. A build folder or a portable copy keeps
// DATA.mdb beside the executable, as it always has; an installed quenlo sits
// in a folder its user cannot write (or should not: root's /usr/bin), so
// each user gets a record base of their own.
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "store/database.h"

namespace quenlo {
namespace {

struct BaseLocation {
  QString directory;
  bool perUser = false;
};

QString ExecutableDirectory() {
  if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
  // Without an application object (tools, tests) ask the system instead.
  return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
}

QString BaseFileIn(const QString& directory) {
  return QDir(directory).filePath(QString::fromLatin1(kDatabaseFileName));
}

// access() and not the permission bits: it also refuses a read-only mount,
// to root as well. SQLite writes its journal beside the file, so the folder
// has to be writable, not only DATA.mdb.
bool CanWriteIn(const QString& directory) {
  return ::access(QFile::encodeName(directory).constData(), W_OK) == 0;
}

BaseLocation LocateBase() {
  const QString configured = qEnvironmentVariable("QUENLO_DATA_DIR");
  if (!configured.isEmpty()) return {configured};
  const QString own = ExecutableDirectory();
  if (QFileInfo::exists(BaseFileIn(own)) && CanWriteIn(own)) return {own};
  return {UserDataDirectory(), true};
}

}  // namespace

QString DataDirectory() { return LocateBase().directory; }

QString DatabasePath() { return BaseFileIn(DataDirectory()); }

QString UserDataDirectory() {
  const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  return QDir(data).filePath(QStringLiteral("quenlo"));
}

DbStatus CreateUserRecordBaseIfMissing(bool* created) {
  *created = false;
  const BaseLocation base = LocateBase();
  if (!base.perUser || QFileInfo::exists(BaseFileIn(base.directory))) return {};
  const DbStatus made = CreateDatabase(base.directory);
  *created = made.Ok();
  // A second quenlo starting at the same moment may have made it first.
  if (!made.Ok() && QFileInfo::exists(BaseFileIn(base.directory))) return {};
  return made;
}

}  // namespace quenlo
