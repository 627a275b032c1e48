// Placeholder until the exports land; replaced by the real command line.
#include "export/export_cli.h"
#include <cstdio>
namespace quenlo {
int RunExportCommand(const QStringList&) {
  std::fprintf(stderr, "quenlo: the exports are not built into this version yet\n");
  return 2;
}
}  // namespace quenlo
