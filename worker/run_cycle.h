// One worker job from start to end: load the page, condense it with the
// condenser the flag selects, write the result file and, for a page not
// read, its failure companion. One job per process.
#pragma once

#include <string>

#include "worker/command_line.h"
#include "worker/hosts.h"
#include "worker/page/page_engine.h"

namespace pitrel {

// Loads url and waits until the page is complete or the engine gives up;
// a page that never arrives comes back with empty text and mark-up.
LoadedPage LoadPage(PageEngine& engine, const std::string& url);

// The page's body text and mark-up, each worked out on first use.
const std::string& GetBodyText(const LoadedPage& page);
const std::string& GetBodyHtml(const LoadedPage& page);

// The condensed result of a loaded page for a flag of 0 to 3.
std::string Condense(int flag, const LoadedPage& page, const MarketplaceHosts& hosts);

// Loads, condenses and saves: the failure companion first when the page was
// not read, then the result. A flag outside 0 to 3 loads and writes nothing.
// Returns the worker's exit status (worker/protocol.h, "Failures").
int RunJob(const WorkerJob& job, PageEngine& engine, const MarketplaceHosts& hosts);

}  // namespace pitrel
