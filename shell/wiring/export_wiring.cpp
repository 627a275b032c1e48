#include "shell/wiring/export_wiring.h"

#include "export/export_records.h"
#include "export/export_texts.h"
#include "export/save_file_dialog.h"
#include "shell/main_window.h"
#include "store/database.h"

namespace quenlo {
namespace {

// A command exporting a grid: its rows (no table named) or the whole table.
void WireExport(MainWindow& window, Command command, GridModel& grid, const QString& table,
                const QString& sheetTitle) {
  window.SetCommandAction(command, [&window, &grid, table, sheetTitle] {
    SaveFileDialog dialog(&window);
    ExportRecords(grid, dialog, table, sheetTitle);
  });
}

}  // namespace

void WireExports(MainWindow& window) {
  WireExport(window, Command::ExportAllRecords, window.RecordGrid(), kContactTable,
             kAddressSheetTitle);
  WireExport(window, Command::ExportShownRecords, window.RecordGrid(), QString(),
             kAddressSheetTitle);
  WireExport(window, Command::ExportAllProfiles, window.ProfileGrid(), kProfileTable,
             kProfileSheetTitle);
  WireExport(window, Command::ExportShownProfiles, window.ProfileGrid(), QString(),
             kProfileSheetTitle);
}

}  // namespace quenlo
