// The once-per-start new-version check: reads the newest published version
// from the maker's product page and, when it differs from the running one,
// asks whether to open that page. Runs on the window thread; while the page
// loads it pumps the window's events (see LoadPageText). The check state is
// process-wide and lives for the whole run.
#pragma once

#include <QString>

#include "worker/page/page_engine.h"

namespace quenlo {

// Clears the state: empty means no check has started.
void ResetVersionCheck();

// The state: empty, "0" (started, or found no usable version) or the version found.
QString VersionCheckState();

// Runs the check once per run. windowTitle ends with the running version
// ("Quenlo1.0"). Returns the version found, or empty (also at once when a check
// has already started). Asks through the active messenger; on Yes opens the
// product page with the desktop's default handler.
QString CheckNewVersion(const QString& windowTitle, int productNumber,
                        const pitrel::FetchLimits& limits);
QString CheckNewVersion(const QString& windowTitle, int productNumber);

// The question shown when the published version differs from the running one.
QString NewVersionQuestion(const QString& version, const QString& siteName);

}  // namespace quenlo
