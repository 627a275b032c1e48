// Exports of every record of a table, in the database's order, with the
// columns and captions of the grid's header rows (less the row numbers).
#pragma once

#include <QIODevice>
#include <QString>
#include <QVariant>
#include <vector>

#include "export/export_options.h"

namespace quenlo {

class GridModel;
class Recordset;

struct ExportColumn {
  QString field;    // from the grid's hidden field-name row
  QString caption;  // from the caption row, without a sort mark
};

// The grid's non-fixed columns, left to right.
std::vector<ExportColumn> TableExportColumns(const GridModel& grid);

// A field value as the exports write it: dates in the short date-time form
// with "." for "-" and no morning marker, everything else as plain text.
QString ExportValueText(const QVariant& value);

// The caption line and one line per record from the current one on, every
// line ending with a comma; one progress step per record. False when a write
// fails or a column names no field of the records.
bool WriteTableCsv(const std::vector<ExportColumn>& columns, Recordset& records, QIODevice& device,
                   const ExportOptions& options = {});

// An empty table writes no CSV file and says nothing; other failures show
// "文件保存出错！" and leave the target as it was.
bool ExportTableToCsv(const GridModel& grid, const QString& table, const QString& fileName,
                      const ExportOptions& options = {});
bool ExportTableToExcel(const GridModel& grid, const QString& table, const QString& fileName,
                        const ExportOptions& options = {});

}  // namespace quenlo
