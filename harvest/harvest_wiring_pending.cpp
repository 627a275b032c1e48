// Placeholder until the harvests are wired; replaced by the real wiring.
#include "harvest/harvest_wiring.h"
namespace quenlo {
void WireHarvests(MainWindow&) {}
}  // namespace quenlo
