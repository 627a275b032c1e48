// Puts the main window together: every subsystem registers its commands.
#pragma once

namespace quenlo {
class MainWindow;
void AssembleMainWindow(MainWindow& window);
}  // namespace quenlo
