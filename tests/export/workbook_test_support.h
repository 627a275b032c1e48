// Reads a workbook back through openpyxl (Debian's /usr/bin/python3) and
// hands the result over as JSON.
#pragma once

#include <QJsonObject>
#include <QString>

#include "python_reader.h"

namespace quenlo::testing {

inline QJsonObject ReadWorkbook(const QString& path) {
  QString error;
  const QJsonDocument read = RunPythonReader("read_workbook.py", path, &error);
  if (read.isNull()) return {{QStringLiteral("error"), error}};
  return read.object();
}

inline QJsonObject Cell(const QJsonObject& book, const QString& coordinate) {
  return book[QStringLiteral("cells")].toObject()[coordinate].toObject();
}

}  // namespace quenlo::testing
