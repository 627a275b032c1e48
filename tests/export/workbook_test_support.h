// Reads a workbook back through openpyxl (Debian's /usr/bin/python3) and
// hands the result over as JSON.
#pragma once

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>

namespace quenlo::testing {

inline QJsonObject ReadWorkbook(const QString& path) {
  QProcess reader;
  reader.start(QStringLiteral("/usr/bin/python3"),
               {QStringLiteral(QUENLO_SOURCE_DIR "/tests/export/read_workbook.py"), path});
  if (!reader.waitForFinished(60000) || reader.exitCode() != 0) {
    return {{QStringLiteral("error"), QString::fromUtf8(reader.readAllStandardError())}};
  }
  return QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
}

inline QJsonObject Cell(const QJsonObject& book, const QString& coordinate) {
  return book[QStringLiteral("cells")].toObject()[coordinate].toObject();
}

}  // namespace quenlo::testing
