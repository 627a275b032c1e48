// Placeholder until the exports are wired; replaced by the real wiring.
#include "export/export_wiring.h"
namespace quenlo {
void WireExports(MainWindow&) {}
}  // namespace quenlo
