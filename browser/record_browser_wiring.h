// Connects the record grid, its search, deletion and in-grid editing (commands 1 and 2, SKey Enter, grid events) to the main window.
#pragma once
namespace quenlo {
class MainWindow;
void WireRecordBrowser(MainWindow& window);
}  // namespace quenlo
