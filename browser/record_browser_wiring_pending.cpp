// Placeholder until the record browser is wired; replaced by the real wiring.
#include "browser/record_browser_wiring.h"
namespace quenlo {
void WireRecordBrowser(MainWindow&) {}
}  // namespace quenlo
