#include "export/export_wiring.h"

#include "export/export_records.h"
#include "export/export_texts.h"
#include "export/save_file_dialog.h"
#include "shell/main_window.h"
#include "store/database.h"

namespace quenlo {
namespace {

constexpr int kExportAllCommand = 3;
constexpr int kExportShownCommand = 5;

}  // namespace

void WireExports(MainWindow& window) {
  window.SetCommandAction(kExportAllCommand, [&window] {
    SaveFileDialog dialog(&window);
    ExportRecords(window.Grid(), dialog, kContactTable, kAddressSheetTitle);
  });
  window.SetCommandAction(kExportShownCommand, [&window] {
    SaveFileDialog dialog(&window);
    ExportRecords(window.Grid(), dialog, QString(), kAddressSheetTitle);
  });
}

}  // namespace quenlo
