// Keeps the main window's controls fitted to the window (run on every resize).
#pragma once

namespace quenlo {

class MainWindow;

// Sizes the tab strip, its pages, the grid area, the help controls and the
// status label from the window's size; a length that would turn negative
// (minimised, tiny window) is left alone.
void LayoutMainWindow(MainWindow& window);

}  // namespace quenlo
