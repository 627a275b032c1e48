// quenlo members KEYWORD [REGION] | contacts | profiles, each with [--threads N]
// [--retries N] [--delay MS]
#pragma once
#include <QStringList>
namespace quenlo {
// args: the arguments after the program name. Returns the process exit status.
int RunHarvestCommand(const QStringList& args);
}  // namespace quenlo
