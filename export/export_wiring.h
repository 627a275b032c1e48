// Connects the exports (commands 3 and 5) to the main window.
#pragma once
namespace quenlo {
class MainWindow;
void WireExports(MainWindow& window);
}  // namespace quenlo
