// Connects the two record grids to the main window: the address list with
// its search (Refresh, and Enter in the keyword box), deletion (DeleteRows
// and the Delete key), in-grid editing and Undo; the profile list with its
// search (RefreshProfiles), read when its tab is first shown; CopyCells for
// the grid in view; a member double-clicked in one list found in the other;
// both refilled when a harvest has stored records.
#pragma once
namespace quenlo {
class MainWindow;
void WireRecordBrowser(MainWindow& window);
}  // namespace quenlo
