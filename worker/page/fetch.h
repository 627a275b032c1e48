// One HTTP(S) or file download: redirects followed, bounded in time and
// size, compressed transfer accepted. Plain http goes over our own client;
// https and file through libcurl, loaded on first use. Blocking; calls on
// several threads at once are fine (each has its own connection or handle).
#pragma once

#include <optional>
#include <string>

#include "worker/page/fetch_failure.h"
#include "worker/page/page_engine.h"

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

FetchResult FetchUrl(const std::string& url, const FetchLimits& limits);

}  // namespace pitrel
