#include "shell/wiring/export_wiring.h"

#include "export/export_records.h"
#include "export/export_texts.h"
#include "export/save_file_dialog.h"
#include "shell/main_window.h"
#include "store/database.h"

namespace quenlo {

void WireExports(MainWindow& window) {
  window.SetCommandAction(Command::ExportAllRecords, [&window] {
    SaveFileDialog dialog(&window);
    ExportRecords(window.RecordGrid(), dialog, kContactTable, kAddressSheetTitle);
  });
  window.SetCommandAction(Command::ExportShownRecords, [&window] {
    SaveFileDialog dialog(&window);
    ExportRecords(window.RecordGrid(), dialog, QString(), kAddressSheetTitle);
  });
}

}  // namespace quenlo
