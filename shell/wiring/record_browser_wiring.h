// Connects the record grid to the main window: its search (Refresh, and Enter
// in the keyword box), deletion (DeleteRows) and in-grid editing.
#pragma once
namespace quenlo {
class MainWindow;
void WireRecordBrowser(MainWindow& window);
}  // namespace quenlo
