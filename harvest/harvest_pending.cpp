// Placeholder until the harvests land; replaced by the real command line.
#include "harvest/harvest_cli.h"
#include <cstdio>
namespace quenlo {
int RunHarvestCommand(const QStringList&) {
  std::fprintf(stderr, "quenlo: the harvests are not built into this version yet\n");
  return 2;
}
}  // namespace quenlo
