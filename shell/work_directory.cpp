#include "shell/work_directory.h"

#include "harvest/worker_protocol.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace quenlo {

namespace {

const QString kWorkBelow = QStringLiteral("quenlo/work");

// $XDG_RUNTIME_DIR when it names a directory of this user's; else nothing.
QString RuntimeDirectory() {
  const QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (dir.isEmpty() || QDir::isRelativePath(dir)) return {};
  const QFileInfo info(dir);
  return info.isDir() && info.isWritable() && info.ownerId() == ::getuid() ? dir : QString();
}

}  // namespace

QString LastingWorkDirectory() {
  const QString fromEnv = qEnvironmentVariable(kWorkDirEnv);
  if (!fromEnv.isEmpty()) return QDir(fromEnv).absolutePath();
  const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
  return QDir(cache).absoluteFilePath(kWorkBelow);
}

QString WorkDirectory() {
  const QString runtime = RuntimeDirectory();
  if (runtime.isEmpty() || !qEnvironmentVariable(kWorkDirEnv).isEmpty())
    return LastingWorkDirectory();
  return QDir(runtime).absoluteFilePath(kWorkBelow);
}

namespace {

const QString kRunPrefix = QStringLiteral("run-");

QString OwnRunFolder() { return kRunPrefix + QString::number(QCoreApplication::applicationPid()); }

bool ProcessHasEnded(qint64 pid) { return ::kill(pid_t(pid), 0) != 0 && errno == ESRCH; }

// Folders of processes that ended without leaving (killed, crashed): their
// result files go, then the folder if nothing else is in it.
void ClearAbandonedRunFolders(const QString& dir) {
  const QDir work(dir);
  for (const QString& name :
       work.entryList({kRunPrefix + u'*'}, QDir::Dirs | QDir::NoDotAndDotDot)) {
    bool ok = false;
    const qint64 pid = name.mid(kRunPrefix.size()).toLongLong(&ok);
    if (!ok || pid <= 0 || !ProcessHasEnded(pid)) continue;
    RemoveLeftoverResultFiles(work.filePath(name));
    work.rmdir(name);
  }
}

bool CanWriteIn(const QString& dir) {
  // Named as a worker's file: should it stay behind, the next cleanup takes it.
  QFile probe(QDir(dir).filePath(kSearchPageResultPrefix + QStringLiteral("probe")));
  const bool written =
      probe.open(QIODevice::WriteOnly) && probe.write("x", 1) == 1 && probe.flush();
  probe.remove();
  return written;
}

}  // namespace

bool EnterWorkDirectory(QString* error) {
  const QString parent = WorkDirectory();
  const QString dir = QDir(parent).filePath(OwnRunFolder());
  if (!QDir().mkpath(dir)) {
    if (error) *error = QStringLiteral("无法创建工作目录：%1").arg(dir);
    return false;
  }
  ClearAbandonedRunFolders(parent);
  if (const QString lasting = LastingWorkDirectory(); lasting != parent && QDir(lasting).exists())
    ClearAbandonedRunFolders(lasting);
  if (!CanWriteIn(dir)) {
    if (error) *error = QStringLiteral("工作目录无法写入：%1").arg(dir);
    return false;
  }
  if (!QDir::setCurrent(dir)) {
    if (error) *error = QStringLiteral("无法进入工作目录：%1").arg(dir);
    return false;
  }
  return true;
}

void LeaveWorkDirectory() {
  const QDir here = QDir::current();
  if (here.dirName() != OwnRunFolder()) return;
  RemoveLeftoverResultFiles(here.path());
  const QString folder = here.dirName();
  QDir parent = here;
  if (parent.cdUp() && QDir::setCurrent(parent.path())) parent.rmdir(folder);
}

QString ExportNotesFolder() {
  return QDir(LastingWorkDirectory()).filePath(QStringLiteral("exports"));
}

void AnchorPathVariables() {
  for (const char* name : {"QUENLO_DATA_DIR", "QUENLO_PITREL"}) {
    const QString value = qEnvironmentVariable(name);
    if (!value.isEmpty() && QDir::isRelativePath(value))
      qputenv(name, QFile::encodeName(QDir::current().absoluteFilePath(value)));
  }
}

bool IsResultFileName(const QString& fileName) {
  return fileName.startsWith(kSearchPageResultPrefix) || fileName.startsWith(kMemberResultPrefix);
}

int RemoveLeftoverResultFiles(const QString& dir) {
  const QDir directory(dir);
  int removed = 0;
  const QStringList files =
      directory.entryList({kSearchPageResultPrefix + u'*', kMemberResultPrefix + u'*'},
                          QDir::Files | QDir::Hidden | QDir::System);
  for (const QString& name : files) {
    if (IsResultFileName(name) && QFile::remove(directory.filePath(name))) ++removed;
  }
  return removed;
}

}  // namespace quenlo
