// Keeps the main window's controls fitted to the window (run on every resize).
#pragma once

#include <QSize>

namespace quenlo {

class MainWindow;

// Sizes the tab strip, its pages, the grid area, the help controls and the
// status label from the window's size; a length that would turn negative
// (minimised, tiny window) is left alone.
void LayoutMainWindow(MainWindow& window);

// The smallest window in which that layout leaves every control whole: the
// search bars and their buttons, a few rows of each grid, the help commands.
QSize MinimumMainWindowSize(const MainWindow& window);

}  // namespace quenlo
