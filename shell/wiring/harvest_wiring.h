// Connects the three harvests to the main window: HarvestContacts,
// HarvestMemberNames, HarvestProfiles and its StopProfileHarvest.
#pragma once
namespace quenlo {
class MainWindow;
void WireHarvests(MainWindow& window);
}  // namespace quenlo
