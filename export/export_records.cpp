#include "export/export_records.h"

#include <QFile>
#include <QFileInfo>

#include "browser/grid_model.h"
#include "export/export_texts.h"
#include "export/grid_export.h"
#include "export/table_export.h"
#include "ports/messenger.h"

namespace quenlo {

QStringList ExportFileFilters() {
  return {QStringLiteral("CSV (逗号分隔)(*.csv)"), QStringLiteral("MS Excel文件  (*.xls)"),
          QStringLiteral("Excel 工作簿 (*.xlsx)")};
}

bool IsCsvFileName(const QString& fileName) {
  return fileName.right(3).toLower() == QStringLiteral("csv");
}

bool ExportToFile(const GridModel& grid, const QString& table, const QString& sheetTitle,
                  const QString& fileName) {
  if (IsCsvFileName(fileName)) {
    return table.isEmpty() ? ExportGridToCsv(grid, fileName)
                           : ExportTableToCsv(grid, table, fileName);
  }
  return table.isEmpty() ? ExportGridToExcel(grid, fileName, sheetTitle)
                         : ExportTableToExcel(grid, table, fileName);
}

bool IsReplaceableFile(const QString& fileName) { return QFileInfo(fileName).isFile(); }

void ExportRecords(const GridModel& grid, SaveFileAsker& asker, const QString& table,
                   const QString& sheetTitle) {
  if (grid.Rows() == 0 || grid.Cols() == 0) {
    ShowMessage(kNoDataMessage);
    return;
  }
  const QString fileName = asker.AskSaveFileName(ExportFileFilters());
  if (fileName.isEmpty()) return;
  if (QFile::exists(fileName)) {
    if (!AskYesNo(kOverwriteQuestion)) return;
    // The old file stays until the new one is complete and takes its place,
    // so a failed export loses nothing; only a plain file is replaced.
    if (!IsReplaceableFile(fileName)) {
      ShowMessage(kCannotOverwriteMessage);
      return;
    }
  }
  ExportToFile(grid, table, sheetTitle, fileName);
}

}  // namespace quenlo
