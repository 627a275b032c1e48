#include "export/table_export.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QSaveFile>
#include <QStringList>
#include <stdexcept>

#include "browser/grid_model.h"
#include "browser/grid_operations.h"
#include "export/csv_writer.h"
#include "export/export_texts.h"
#include "export/workbook_file.h"
#include "ports/messenger.h"
#include "ports/progress_sink.h"
#include "store/database.h"

namespace quenlo {
namespace {

// Field positions of the columns in the records; empty when one is missing.
std::vector<int> FieldIndexes(const std::vector<ExportColumn>& columns, const Recordset& records) {
  std::vector<int> indexes;
  for (const ExportColumn& column : columns) {
    const int index = records.FieldIndex(column.field);
    if (index < 0) return {};
    indexes.push_back(index);
  }
  return indexes;
}

// Opens every record of table; the table name is spliced into SQL, so only
// the program's own tables are accepted. A base that cannot be read is shown.
bool OpenTable(Connection& connection, Recordset& records, const QString& table) {
  if (!IsKnownTable(table)) return false;
  const DbStatus opened =
      DbOpenRecordset(connection, records, QStringLiteral("SELECT * FROM ") + table);
  if (!opened.Ok()) ShowMessage(WithReason(opened.Message(), opened.Reason()));
  return opened.Ok();
}

// The value of column col of the current record as the export writes it.
QString RecordText(const Recordset& records, const std::vector<ExportColumn>& columns,
                   const std::vector<int>& indexes, std::size_t col, const ExportOptions& options) {
  return OutgoingText(columns[col].field, ExportValueText(records.Value(indexes[col])), options);
}

QString RecordCsvLine(const Recordset& records, const std::vector<ExportColumn>& columns,
                      const std::vector<int>& indexes, const ExportOptions& options) {
  QString line;
  for (std::size_t col = 0; col < indexes.size(); ++col)
    line += CsvField(RecordText(records, columns, indexes, col, options)) + u',';
  return line;
}

QString CaptionCsvLine(const std::vector<ExportColumn>& columns) {
  QString line;
  for (const ExportColumn& column : columns) line += column.caption + u',';
  return line;
}

bool WriteTableSheet(const std::vector<ExportColumn>& columns, Recordset& records,
                     WorkbookFile& book, const ExportOptions& options) {
  for (int col = 0; col < static_cast<int>(columns.size()); ++col) {
    book.WriteText(0, col, columns[col].caption);
  }
  const std::vector<int> indexes = FieldIndexes(columns, records);
  if (indexes.size() != columns.size()) return false;
  for (int row = 1; !records.Eof() && book.Ok(); ++row, records.MoveNext()) {
    for (int col = 0; col < static_cast<int>(indexes.size()); ++col) {
      const QString text = RecordText(records, columns, indexes, std::size_t(col), options);
      if (!text.isEmpty()) book.WriteText(row, col, text);
    }
    ProgressStep(1, kProgressUnit);
  }
  return book.Ok();
}

}  // namespace

std::vector<ExportColumn> TableExportColumns(const GridModel& grid) {
  std::vector<ExportColumn> columns;
  for (int col = grid.FixedCols(); col < grid.Cols(); ++col) {
    columns.push_back({grid.TextMatrix(0, col), CaptionWithoutSortMark(grid.TextMatrix(1, col))});
  }
  return columns;
}

QString ExportValueText(const QVariant& value) {
  QString text;
  switch (value.typeId()) {
    case QMetaType::QDateTime:
      text = QLocale::system().toString(value.toDateTime(), QLocale::ShortFormat);
      break;
    case QMetaType::QDate:
      text = QLocale::system().toString(value.toDate(), QLocale::ShortFormat);
      break;
    default:
      return value.toString();
  }
  return text.replace(u'-', u'.').remove(QStringLiteral("上午 "));
}

bool WriteTableCsv(const std::vector<ExportColumn>& columns, Recordset& records, QIODevice& device,
                   const ExportOptions& options) {
  const std::vector<int> indexes = FieldIndexes(columns, records);
  if (indexes.size() != columns.size()) return false;
  CsvWriter writer(device, options.encoding);
  writer.WriteLine(CaptionCsvLine(columns));
  for (; !records.Eof() && writer.Ok(); records.MoveNext()) {
    writer.WriteLine(RecordCsvLine(records, columns, indexes, options));
    ProgressStep(1, kProgressUnit);
  }
  return writer.Ok();
}

bool ExportTableToCsv(const GridModel& grid, const QString& table, const QString& fileName,
                      const ExportOptions& options) {
  const std::vector<ExportColumn> columns = TableExportColumns(grid);
  Connection connection;
  Recordset records;
  if (!OpenTable(connection, records, table) || records.RecordCount() == 0) {
    DbCloseRecordset(connection, records);
    return false;
  }
  ProgressBegin(kCsvProgressCaption, records.RecordCount());
  QSaveFile file(fileName);
  bool saved = false;
  QString why;
  try {
    saved = file.open(QIODevice::WriteOnly) && WriteTableCsv(columns, records, file, options) &&
            CommitComplete(file, &why);
  } catch (const std::out_of_range&) {
    saved = false;
  }
  ProgressEnd();
  DbCloseRecordset(connection, records);
  if (!saved) ShowMessage(WithReason(kSaveFailedMessage, why.isEmpty() ? file.errorString() : why));
  return saved;
}

bool ExportTableToExcel(const GridModel& grid, const QString& table, const QString& fileName,
                        const ExportOptions& options) {
  const std::vector<ExportColumn> columns = TableExportColumns(grid);
  Connection connection;
  Recordset records;
  bool saved = false;
  int cutCells = 0;
  QString why;
  if (OpenTable(connection, records, table)) {
    ProgressBegin(kWorkbookProgressCaption, records.RecordCount() + 3);
    WorkbookFile book(fileName, kTableSheetName);
    ProgressStep(1, kProgressUnit);  // workbook started
    ProgressStep(1, kProgressUnit);  // sheet named
    try {
      saved = WriteTableSheet(columns, records, book, options) && book.Save();
    } catch (const std::out_of_range&) {
      saved = false;
    }
    cutCells = book.CutCells();
    why = book.Error();
    ProgressEnd();
  }
  DbCloseRecordset(connection, records);
  ReportWorkbookSave(saved, cutCells, why);
  return saved;
}

}  // namespace quenlo
