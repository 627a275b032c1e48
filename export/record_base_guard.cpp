#include "export/record_base_guard.h"

#include <QFileInfo>
#include <QStringList>
#include <optional>

#include "store/database.h"
#include "store/file_identity.h"

namespace quenlo {
namespace {

// Symbolic links are followed this far, also to a file that does not exist yet.
constexpr int kMostLinks = 16;

// The path a chain of links ends at, dangling or not.
QString LinkEnd(QString path) {
  for (int i = 0; i < kMostLinks && QFileInfo(path).isSymLink(); ++i)
    path = QFileInfo(path).symLinkTarget();
  return path;
}

bool SameFile(const QString& a, const QString& b) {
  const std::optional<FileIdentity> first = IdentityOf(a);
  const std::optional<FileIdentity> second = IdentityOf(b);
  if (first || second) return first == second;
  // Neither is there: the same name in the same folder.
  const QFileInfo endA(LinkEnd(a)), endB(LinkEnd(b));
  const std::optional<FileIdentity> folderA = IdentityOf(endA.absolutePath());
  return folderA && folderA == IdentityOf(endB.absolutePath()) &&
         endA.fileName() == endB.fileName();
}

QStringList RecordBaseFiles() {
  QStringList files;
  const QString base = DatabasePath();
  for (const QString& path : {base, QFileInfo(base).canonicalFilePath()}) {
    if (path.isEmpty()) continue;
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
      files << path + QLatin1String(suffix);
  }
  return files;
}

}  // namespace

bool IsRecordBaseFile(const QString& fileName) {
  for (const QString& file : RecordBaseFiles()) {
    if (SameFile(fileName, file)) return true;
  }
  return false;
}

}  // namespace quenlo
