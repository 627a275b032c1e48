#include "export/csv_writer.h"

#include <QByteArray>
#include <QRegularExpression>

namespace quenlo {
namespace {

bool StartsLikeAFormula(const QString& cell) {
  static const QString leaders = QStringLiteral("=+-@\t\r");
  return !cell.isEmpty() && leaders.contains(cell.front());
}

}  // namespace

bool IsTelephoneShaped(const QString& cell) {
  // A plus sign only leads a number: "-2+3" is a sum, not a telephone.
  static const QRegularExpression shape(
      QStringLiteral("^[+\\-＋](?=.*[0-9０-９])"
                     "(?:[0-9０-９ \u3000().\\-－（）]|[/,，;；][ \u3000]*[+＋]?|ext\\.)*$"));
  return shape.match(cell).hasMatch();
}

QString CsvField(const QString& cell) {
  QString field = StartsLikeAFormula(cell) && !IsTelephoneShaped(cell) ? u'\'' + cell : cell;
  field.replace(u'"', QStringLiteral("\"\""));
  const bool mustQuote = field.contains(u',') || field.contains(u'"') || field.contains(u'\n') ||
                         field.contains(u'\r');
  return mustQuote ? u'"' + field + u'"' : field;
}

CsvWriter::CsvWriter(QIODevice& device, CsvEncoding encoding)
    : device_(device), encoder_(encoding == CsvEncoding::kUtf8WithMark ? "UTF-8" : "GB18030") {
  ok_ = encoder_.isValid();
  if (encoding == CsvEncoding::kUtf8WithMark) Write(QByteArray("\xEF\xBB\xBF"));
}

bool CsvWriter::Write(const QByteArray& bytes) {
  if (ok_) ok_ = device_.write(bytes) == bytes.size();
  return ok_;
}

bool CsvWriter::WriteLine(const QString& line) {
  if (!ok_) return false;
  QByteArray bytes = encoder_.encode(line);
  bytes.append("\r\n");
  return Write(bytes);
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
