#include "shell/assemble.h"

#include "browser/record_browser_wiring.h"
#include "export/export_wiring.h"
#include "harvest/harvest_wiring.h"
#include "shell/main_window.h"
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
