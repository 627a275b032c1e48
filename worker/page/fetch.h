// One page download: http and https (our own client, with TLS), redirects
// followed, proxies from the environment or as given, bounded in time and
// size, compressed transfer accepted; and file addresses, read from disk.
// Blocking; calls on several threads at once are fine (each has its own
// connection).
#pragma once

#include <optional>
#include <string>

#include "worker/page/fetch_failure.h"
#include "worker/page/page_engine.h"
#include "worker/page/proxy.h"

namespace pitrel {

struct FetchResult {
  bool received = false;     // some response arrived (an HTTP error page counts)
  long status = 0;           // HTTP status; 0 for file URLs
  std::string final_url;     // after redirects; the requested text when there were none
  std::string content_type;  // the Content-Type header, may be empty
  std::string body;          // raw bytes, at most FetchLimits::max_bytes
  std::string error;         // why nothing arrived, or why the body is cut short
  FetchFailure failure = FetchFailure::kNone;  // the kind of that error; none for the size cap
  std::optional<long> retry_after_seconds;     // the wait a Retry-After header asked for
};

// With the proxies the environment names (proxy.h).
FetchResult FetchUrl(const std::string& url, const FetchLimits& limits);
FetchResult FetchUrl(const std::string& url, const FetchLimits& limits,
                     const ProxySettings& proxies);

}  // namespace pitrel
