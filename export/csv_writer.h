// Writes CSV lines the way spreadsheet programs read them: GB18030 text (or
// UTF-8 led by a byte-order mark), CR LF line ends, fields quoted only when
// they must be, and no cell that a spreadsheet would run as a formula.
#pragma once

#include <QIODevice>
#include <QSaveFile>
#include <QString>
#include <QStringEncoder>

#include "export/csv_encoding.h"

namespace quenlo {

// Whether a cell that starts like a formula is a telephone number instead:
// "+86 571 8888 1234", "-0571-8888", digits with blanks, brackets, hyphens,
// dots and list separators between them, nothing a formula could call.
bool IsTelephoneShaped(const QString& cell);

// A cell as a CSV field. A cell starting with = + - @, a tab or a carriage
// return is a formula to a spreadsheet program (a hostile page's
// "=HYPERLINK(…)"): it gets a leading apostrophe, which makes it text,
// unless it is telephone-shaped. Then double quotes are doubled and the
// field is enclosed in double quotes when it holds a comma, a double quote
// or a line break (a bare line break would split the record in two).
QString CsvField(const QString& cell);

class CsvWriter {
 public:
  // Writes the byte-order mark at once when the encoding has one.
  CsvWriter(QIODevice& device, CsvEncoding encoding = CsvEncoding::kGb18030);
  // Writes the line and CR LF. Returns false once any write has failed.
  bool WriteLine(const QString& line);
  bool Ok() const { return ok_; }

 private:
  bool Write(const QByteArray& bytes);

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
