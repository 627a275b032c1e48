#include "harvest/harvest_log.h"

#include "store/database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>

namespace quenlo {

namespace {

QString LogFolder() {
  const QFileInfo data(DataDirectory());
  if (data.isDir() && data.isWritable()) return data.absoluteFilePath();
  const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
  return QDir(cache).absoluteFilePath(QStringLiteral("quenlo"));
}

void RotateWhenFull(const QString& path) {
  if (QFileInfo(path).size() < kHarvestLogLimit) return;
  const QString previous = path + QStringLiteral(".1");
  QFile::remove(previous);
  QFile::rename(path, previous);
}

QString RunText(const QString& harvest, const HarvestTally& tally, const QDateTime& at) {
  const QString stamp = at.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
  QString text = QStringLiteral("%1 %2: %3\n").arg(stamp, harvest, TallyLine(tally));
  const int listed = std::min<int>(int(tally.failed.size()), kHarvestLogPagesPerRun);
  for (int i = 0; i < listed; ++i) {
    const FailedPage& page = tally.failed[size_t(i)];
    text += QStringLiteral("%1   %2: %3 <%4>\n")
                .arg(stamp, PageName(page), FailureText(page), page.address);
  }
  if (int(tally.failed.size()) > listed)
    text += QStringLiteral("%1   and %2 more\n").arg(stamp).arg(int(tally.failed.size()) - listed);
  if (!tally.storageFailure.isEmpty())
    text +=
        QStringLiteral("%1   stopped: %2\n").arg(stamp, QString(tally.storageFailure).simplified());
  return text;
}

}  // namespace

QString HarvestLogPath() {
  return QDir(LogFolder()).filePath(QString::fromLatin1(kHarvestLogName));
}

QString LogHarvest(const QString& harvest, const HarvestTally& tally, const QDateTime& at) {
  const QString path = HarvestLogPath();
  QDir().mkpath(QFileInfo(path).absolutePath());
  RotateWhenFull(path);
  QFile log(path);
  if (!log.open(QIODevice::Append | QIODevice::Text)) return {};
  const QByteArray bytes = RunText(harvest, tally, at).toUtf8();
  return log.write(bytes) == bytes.size() && log.flush() ? path : QString();
}

}  // namespace quenlo
