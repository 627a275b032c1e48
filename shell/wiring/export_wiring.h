// Connects the exports to the main window: ExportAllRecords and
// ExportShownRecords for the address list, ExportAllProfiles and
// ExportShownProfiles for the profile list.
#pragma once
namespace quenlo {
class MainWindow;
void WireExports(MainWindow& window);
}  // namespace quenlo
