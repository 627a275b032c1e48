// Connects the record grid to the main window: its search (command 2, and
// Enter in the keyword box), deletion (command 1) and in-grid editing.
#pragma once
namespace quenlo {
class MainWindow;
void WireRecordBrowser(MainWindow& window);
}  // namespace quenlo
