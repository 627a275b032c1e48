// quenlo members KEYWORD [REGION] | contacts | profiles  [--threads N]
#pragma once
#include <QStringList>
namespace quenlo {
// args: the arguments after the program name. Returns the process exit status.
int RunHarvestCommand(const QStringList& args);
}  // namespace quenlo
