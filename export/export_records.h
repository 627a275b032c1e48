// The two export commands: ask for a file name and a format, settle an
// existing file, then write the grid's rows (no table named) or every record
// of a table, as CSV, as a workbook or as vCards.
#pragma once

#include <QString>
#include <QStringList>

#include "export/export_target.h"

namespace quenlo {

class GridModel;

// Asks the user for the name of the file to save and its format.
class SaveFileAsker {
 public:
  virtual ~SaveFileAsker() = default;
  // filters: Qt name filters, selected the one chosen at first. No name is
  // preset and the name comes back as typed (the export adds the ending).
  virtual SaveFileChoice AskSaveFileName(const QStringList& filters, const QString& selected) = 0;
};

// Whether an existing fileName may be replaced by an export: a plain file (or
// a link to one), never a folder, a device or a pipe.
bool IsReplaceableFile(const QString& fileName);

// Writes the export without asking anything (an existing file is replaced
// once the new one is complete). Failures show their message; the record
// base is never written over.
bool ExportToFile(const GridModel& grid, const QString& table, const QString& sheetTitle,
                  const ExportTarget& target);

// The commands' whole dialogue: empty grid, save dialog, the record base
// refused, overwrite question. A CSV filter chosen in the dialog becomes the
// stored CSV encoding.
void ExportRecords(const GridModel& grid, SaveFileAsker& asker, const QString& table,
                   const QString& sheetTitle);

}  // namespace quenlo
