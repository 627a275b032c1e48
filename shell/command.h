// The main window's commands. Each keeps the number it has always had: its
// button is named after it ("Com" and the number) and the help menu's items
// run 40 + their index.
#pragma once

namespace quenlo {

enum class Command {
  HarvestContacts = 0,     // also asks a running contact harvest to stop
  DeleteRows = 1,          // the grid's selected rows, from the base too
  Refresh = 2,             // the address list, filtered by field and keyword
  ExportAllRecords = 3,    // the whole address table
  HarvestMemberNames = 4,  // also asks a running member harvest to stop
  ExportShownRecords = 5,  // the rows the grid shows
  Undo = 6,                // the newest cell edit or row deletion (menu only)
  CopyCells = 7,           // the selected cells of the grid in view (menu only)
  HarvestProfiles = 10,
  StopProfileHarvest = 11,
  RefreshProfiles = 12,      // the profile list, filtered by field and keyword
  ExportShownProfiles = 13,  // the rows the profile grid shows
  ExportAllProfiles = 14,    // the whole profile table
  OpenHelpPage = 40,
  ChatWithSupport1 = 41,
  ChatWithSupport2 = 42,
  ShowAbout = 45,
};

inline constexpr int CommandNumber(Command command) { return static_cast<int>(command); }

}  // namespace quenlo
