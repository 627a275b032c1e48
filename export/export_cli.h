// quenlo export FILE [--shown FIELD KEYWORD]
#pragma once
#include <QStringList>
namespace quenlo {
// args: the arguments after the program name. Returns the process exit status.
int RunExportCommand(const QStringList& args);
}  // namespace quenlo
