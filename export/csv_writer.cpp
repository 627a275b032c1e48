#include "export/csv_writer.h"

#include <QByteArray>

namespace quenlo {

QString CsvField(const QString& cell) {
  QString field = cell;
  field.replace(u'"', QStringLiteral("\"\""));
  const bool mustQuote = field.contains(u',') || field.contains(u'"') || field.contains(u'\n') ||
                         field.contains(u'\r');
  return mustQuote ? u'"' + field + u'"' : field;
}

CsvWriter::CsvWriter(QIODevice& device) : device_(device), encoder_("GB18030") {
  ok_ = encoder_.isValid();
}

bool CsvWriter::WriteLine(const QString& line) {
  if (!ok_) return false;
  QByteArray bytes = encoder_.encode(line);
  bytes.append("\r\n");
  ok_ = device_.write(bytes) == bytes.size();
  return ok_;
}

bool CommitComplete(QSaveFile& file, QString* why) {
  const qint64 written = file.pos();
  if (!file.flush() || file.error() != QFileDevice::NoError || file.size() != written) {
    if (why) *why = file.errorString();  // before the cancel says only that it cancelled
    file.cancelWriting();
    file.commit();  // drops the temporary file
    return false;
  }
  if (file.commit()) return true;
  if (why) *why = file.errorString();
  return false;
}

}  // namespace quenlo
