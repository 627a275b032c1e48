#include "shell/version/version_wiring.h"

#include "shell/main_window.h"
#include "shell/version/version_check.h"

namespace quenlo {

// The maker's number for this product on its download pages.
constexpr int kProductNumber = 32;

void WireVersionCheck(MainWindow& window) {
  window.SetVersionCheck([] { ResetVersionCheck(); },
                         [&window] { CheckNewVersion(window.windowTitle(), kProductNumber); });
}

}  // namespace quenlo
