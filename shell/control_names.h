// The object names of the main window's controls, in one place. They are the
// names the controls have always carried, by which scripts and checks find
// them; the code itself reaches the controls through MainWindow's accessors.
#pragma once

#include "shell/command.h"

#include <QString>

namespace quenlo::control_names {

inline constexpr char kMainWindow[] = "MF";
inline constexpr char kTabStrip[] = "SST";
inline constexpr const char* kPages[] = {"Pic0", "Pic1", "Pic2"};  // records, help, profiles
inline constexpr char kSearchFieldBox[] = "SCMB";
inline constexpr char kContainsLabel[] = "Label1";
inline constexpr char kKeywordEdit[] = "SKey";
inline constexpr char kGridHost[] = "MSF";
// The profile page's search and grid.
inline constexpr char kProfileSearchFieldBox[] = "SCMB1";
inline constexpr char kProfileContainsLabel[] = "Label2";
inline constexpr char kProfileKeywordEdit[] = "SKey1";
inline constexpr char kProfileGridHost[] = "MSF1";
inline constexpr char kHelpText[] = "THelp";
inline constexpr char kHelpFrame[] = "FRM";
inline constexpr char kStatusLabel[] = "LBL";
inline constexpr char kNewVersionTimer[] = "NewEditionTimer";

// Com0 … Com45: "Com" and the command's number.
inline QString CommandButton(Command command) {
  return QStringLiteral("Com%1").arg(CommandNumber(command));
}

}  // namespace quenlo::control_names
