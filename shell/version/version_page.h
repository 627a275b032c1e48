// Loads the rendered text of one web page for the version check. The page is
// fetched on a thread of its own while the calling (window) thread keeps
// pumping its events, so the window stays usable; the wait is bounded by the
// fetch limits, after which the page counts as missing. It goes through
// quenlo's proxy when one is set (store/proxy_setting.h), else through the
// environment's.
#pragma once

#include <QString>

#include "worker/page/page_engine.h"

namespace quenlo {

// Bounds of the version page's fetch: the maker's site is never worth a long wait.
pitrel::FetchLimits VersionPageLimits();

// The page body's text with surrounding blanks removed; empty when the page
// could not be loaded, is an error page (HTTP status 400 and up) or did not
// arrive within the limits.
QString LoadPageText(const QString& url, const pitrel::FetchLimits& limits = VersionPageLimits());

}  // namespace quenlo
