// Connects the exports (ExportAllRecords, ExportShownRecords) to the main window.
#pragma once
namespace quenlo {
class MainWindow;
void WireExports(MainWindow& window);
}  // namespace quenlo
