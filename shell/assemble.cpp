#include "shell/assemble.h"

#include "shell/main_window.h"
#include "shell/wiring/export_wiring.h"
#include "shell/wiring/harvest_wiring.h"
#include "shell/wiring/record_browser_wiring.h"
#ifdef QUENLO_WITH_VERSION_CHECK
#include "shell/version/version_wiring.h"
#endif

namespace quenlo {

void AssembleMainWindow(MainWindow& window) {
  WireRecordBrowser(window);
  WireHarvests(window);
  WireExports(window);
#ifdef QUENLO_WITH_VERSION_CHECK
  WireVersionCheck(window);
#endif
}

}  // namespace quenlo
