#include "export/grid_export.h"

#include <QSaveFile>
#include <QStringList>
#include <vector>

#include "browser/grid_model.h"
#include "browser/grid_operations.h"
#include "export/csv_writer.h"
#include "export/export_texts.h"
#include "export/workbook_file.h"
#include "ports/messenger.h"
#include "ports/progress_sink.h"

namespace quenlo {
namespace {

std::vector<int> VisibleColumns(const GridModel& grid) {
  std::vector<int> columns;
  for (int col = 0; col < grid.Cols(); ++col) {
    if (grid.ColWidth(col) > 0) columns.push_back(col);
  }
  return columns;
}

bool RowVisible(const GridModel& grid, int row) { return grid.RowHeight(row) > 0; }

// A cell as the export writes it: captions without their sort marks, values
// in the form the options ask for.
QString CellText(const GridModel& grid, int row, int col, const ExportOptions& options) {
  const QString text = grid.TextMatrix(row, col);
  if (row < grid.FixedRows()) return CaptionWithoutSortMark(text);
  return OutgoingText(grid.TextMatrix(0, col), text, options);
}

QString GridCsvLine(const GridModel& grid, int row, const std::vector<int>& columns,
                    const ExportOptions& options) {
  QStringList fields;
  fields.reserve(static_cast<qsizetype>(columns.size()));
  for (int col : columns) fields.append(CsvField(CellText(grid, row, col, options)));
  return fields.join(u',');
}

// Writes the visible rows from sheet row 0 on; captions (visible fixed rows)
// get the caption style, every written cell a thin border.
void WriteGridRows(const GridModel& grid, WorkbookFile& book, const ExportOptions& options) {
  const std::vector<int> columns = VisibleColumns(grid);
  const int captionRow = grid.FixedRows() - 1;
  int sheetRow = 0;
  for (int row = 0; row < grid.Rows(); ++row) {
    if (RowVisible(grid, row)) {
      const CellStyle style = row < grid.FixedRows() ? CellStyle::kCaption : CellStyle::kBordered;
      for (int k = 0; k < static_cast<int>(columns.size()); ++k) {
        const QString text = CellText(grid, row, columns[k], options);
        if (text.isEmpty()) {
          book.WriteBlank(sheetRow, k, style);
        } else {
          book.WriteText(sheetRow, k, text, style);
        }
        if (row == captionRow) book.SetColumnWidth(k, SheetColumnWidth(grid.ColWidth(columns[k])));
      }
      ++sheetRow;
    }
    ProgressStep(1, kProgressUnit);
  }
}

}  // namespace

int SheetColumnWidth(int twips) { return twips / 123; }

bool WriteGridCsv(const GridModel& grid, QIODevice& device, const ExportOptions& options) {
  CsvWriter writer(device, options.encoding);
  const std::vector<int> columns = VisibleColumns(grid);
  ProgressBegin(kCsvProgressCaption, grid.Rows());
  for (int row = 0; row < grid.Rows() && writer.Ok(); ++row) {
    if (RowVisible(grid, row)) writer.WriteLine(GridCsvLine(grid, row, columns, options));
    ProgressStep(1, kProgressUnit);
  }
  ProgressEnd();
  return writer.Ok();
}

bool ExportGridToCsv(const GridModel& grid, const QString& fileName, const ExportOptions& options) {
  QSaveFile file(fileName);
  QString why;
  const bool saved = file.open(QIODevice::WriteOnly) && WriteGridCsv(grid, file, options) &&
                     CommitComplete(file, &why);
  if (!saved) ShowMessage(WithReason(kSaveFailedMessage, why.isEmpty() ? file.errorString() : why));
  return saved;
}

bool ExportGridToExcel(const GridModel& grid, const QString& fileName, const QString& sheetTitle,
                       const ExportOptions& options) {
  ProgressBegin(kWorkbookProgressCaption, grid.Rows() + 2);
  WorkbookFile book(fileName, sheetTitle);
  ProgressStep(1, kProgressUnit);  // workbook started
  ProgressStep(1, kProgressUnit);  // sheet named
  WriteGridRows(grid, book, options);
  const bool saved = book.Save();
  ProgressEnd();
  ReportWorkbookSave(saved, book.CutCells(), book.Error());
  return saved;
}

}  // namespace quenlo
