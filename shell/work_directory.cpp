#include "shell/work_directory.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace quenlo {

QString WorkDirectory() {
  const QString fromEnv = qEnvironmentVariable(kWorkDirEnv);
  if (!fromEnv.isEmpty()) return QDir(fromEnv).absolutePath();
  const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
  return QDir(cache).absoluteFilePath(QStringLiteral("quenlo/work"));
}

bool EnterWorkDirectory(QString* error) {
  const QString dir = WorkDirectory();
  if (!QDir().mkpath(dir)) {
    if (error) *error = QStringLiteral("无法创建工作目录：%1").arg(dir);
    return false;
  }
  if (!QDir::setCurrent(dir)) {
    if (error) *error = QStringLiteral("无法进入工作目录：%1").arg(dir);
    return false;
  }
  return true;
}

bool IsResultFileName(const QString& fileName) {
  return fileName.startsWith(QLatin1String("TempPage_")) ||
         fileName.startsWith(QLatin1String("Temp_"));
}

int RemoveLeftoverResultFiles(const QString& dir) {
  const QDir directory(dir);
  int removed = 0;
  const QStringList files =
      directory.entryList({QStringLiteral("Temp*")}, QDir::Files | QDir::Hidden | QDir::System);
  for (const QString& name : files) {
    if (IsResultFileName(name) && QFile::remove(directory.filePath(name))) ++removed;
  }
  return removed;
}

}  // namespace quenlo
