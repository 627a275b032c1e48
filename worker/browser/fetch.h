// One HTTP(S) or file download with libcurl: redirects followed, bounded in
// time and size, compressed transfer accepted. Blocking; one call per thread
// at a time (each call has its own curl handle).
#pragma once

#include <string>

#include "worker/browser/page_engine.h"

namespace pitrel {

struct FetchResult {
  bool received = false;     // some response arrived (an HTTP error page counts)
  long status = 0;           // HTTP status; 0 for file URLs
  std::string final_url;     // after redirects; the requested text when there were none
  std::string content_type;  // the Content-Type header, may be empty
  std::string body;          // raw bytes, at most FetchLimits::max_bytes
  std::string error;         // why nothing arrived, or why the body is cut short
};

FetchResult FetchUrl(const std::string& url, const FetchLimits& limits);

}  // namespace pitrel
