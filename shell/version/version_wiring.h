// Connects the once-per-start new-version check to the main window.
#pragma once
namespace quenlo {
class MainWindow;
void WireVersionCheck(MainWindow& window);
}  // namespace quenlo
