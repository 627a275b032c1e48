// Runs one of the tests' Python readers (tests/export/*.py) on a file under
// Debian's /usr/bin/python3, whose modules (openpyxl, vobject) read what
// quenlo wrote independently of it, and hands back the JSON it printed.
#pragma once

#include <QJsonDocument>
#include <QProcess>
#include <QString>

namespace quenlo::testing {

// The reader's JSON, or nothing with *error saying why.
inline QJsonDocument RunPythonReader(const char* script, const QString& path, QString* error) {
  QProcess reader;
  reader.start(QStringLiteral("/usr/bin/python3"),
               {QStringLiteral(QUENLO_SOURCE_DIR "/tests/export/") + QLatin1String(script), path});
  if (!reader.waitForFinished(60000) || reader.exitCode() != 0) {
    *error = QString::fromUtf8(reader.readAllStandardError());
    return {};
  }
  return QJsonDocument::fromJson(reader.readAllStandardOutput());
}

}  // namespace quenlo::testing
