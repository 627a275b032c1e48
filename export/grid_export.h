// Exports of what the grid shows: its visible rows and columns, caption row
// and row numbers included, to CSV or to a workbook.
#pragma once

#include <QIODevice>
#include <QString>

#include "export/export_options.h"

namespace quenlo {

class GridModel;

// One CSV line per visible row, one field per visible column, with progress.
// Captions lose their sort marks. False when a write fails.
bool WriteGridCsv(const GridModel& grid, QIODevice& device, const ExportOptions& options = {});

// These show "文件保存出错！" and leave the target as it was when they fail.
bool ExportGridToCsv(const GridModel& grid, const QString& fileName,
                     const ExportOptions& options = {});
bool ExportGridToExcel(const GridModel& grid, const QString& fileName, const QString& sheetTitle,
                       const ExportOptions& options = {});

// Sheet column width (characters) of a grid column this many twips wide.
int SheetColumnWidth(int twips);

}  // namespace quenlo
