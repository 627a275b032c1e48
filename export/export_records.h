// The two export commands: ask for a file name, settle an existing file, then
// write the grid's rows (no table named) or every record of a table, as CSV
// for a name ending in "csv" (any case) and as a workbook otherwise.
#pragma once

#include <QString>
#include <QStringList>

namespace quenlo {

class GridModel;

// Asks the user for the name of the file to save; an empty name means cancel.
class SaveFileAsker {
 public:
  virtual ~SaveFileAsker() = default;
  // filters: Qt name filters, the first one chosen; no name is preset and
  // no ending is added to what the user types.
  virtual QString AskSaveFileName(const QStringList& filters) = 0;
};

// CSV, the classic workbook name and the modern one, in this order.
QStringList ExportFileFilters();

bool IsCsvFileName(const QString& fileName);

// Whether an existing fileName may be replaced by an export: a plain file (or
// a link to one), never a folder, a device or a pipe.
bool IsReplaceableFile(const QString& fileName);

// Writes the export to fileName without asking anything (an existing file is
// replaced once the new one is complete). Failures show their message.
bool ExportToFile(const GridModel& grid, const QString& table, const QString& sheetTitle,
                  const QString& fileName);

// The commands' whole dialogue: empty grid, save dialog, overwrite question.
void ExportRecords(const GridModel& grid, SaveFileAsker& asker, const QString& table,
                   const QString& sheetTitle);

}  // namespace quenlo
