// Connects the three harvests (commands 0, 4, 10 and 11) to the main window.
#pragma once
namespace quenlo {
class MainWindow;
void WireHarvests(MainWindow& window);
}  // namespace quenlo
