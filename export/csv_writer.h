// Writes CSV lines the way spreadsheet programs on the user's system read
// them: GB18030 text, CR LF line ends, fields quoted only when they must be.
#pragma once

#include <QIODevice>
#include <QSaveFile>
#include <QString>
#include <QStringEncoder>

namespace quenlo {

// A cell as a CSV field: double quotes doubled; the field enclosed in double
// quotes when it holds a comma, a double quote or a line break (a bare line
// break would split the record in two).
QString CsvField(const QString& cell);

class CsvWriter {
 public:
  explicit CsvWriter(QIODevice& device);
  // Writes the line and CR LF. Returns false once any write has failed.
  bool WriteLine(const QString& line);
  bool Ok() const { return ok_; }

 private:
  QIODevice& device_;
  QStringEncoder encoder_;
  bool ok_ = true;
};

// Puts a finished file in place only when it holds every byte written: a
// full disk can swallow the end of a buffered write without commit() seeing
// an error, and the old file would be replaced by a cut-off one. On failure
// *why (when given) says what the file reported.
bool CommitComplete(QSaveFile& file, QString* why = nullptr);

}  // namespace quenlo
