// Reading file:// addresses, so that a saved page can be condensed as a
// fetched one: only files on this machine (file:///path or
// file://localhost/path), percent-escapes undone, read up to the size cap.
// A file has no HTTP status (0) and no content type.
#pragma once

#include <string>

#include "worker/page/fetch.h"

namespace pitrel {

FetchResult ReadFileUrl(const std::string& url, const FetchLimits& limits);

}  // namespace pitrel
