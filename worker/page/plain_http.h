// Fetches http:// pages over a plain socket, so that the worker needs no
// TLS stack for the marketplace, which is served without one. Redirects are
// followed while they stay on http; one that leaves it is handed back.
// Blocking; safe to call from several threads at once.
#pragma once

#include <string>
#include <string_view>

#include "worker/page/fetch.h"
#include "worker/page/page_engine.h"

namespace pitrel {

// A browser-like identity; some sites answer bare clients differently.
inline constexpr char kBrowserUserAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)";
inline constexpr int kMaxRedirects = 20;  // as browsers allow

struct PlainHttpFetch {
  FetchResult result;
  std::string hand_over_url;  // set when a redirect leads to https: fetch it another way
  int redirects = 0;          // followed so far, including the one to hand_over_url
};

// Whether url names an http:// resource (scheme case-insensitive, blanks around ignored).
bool IsPlainHttpUrl(std::string_view url);

// Same contract as FetchUrl for an http:// URL.
PlainHttpFetch FetchPlainHttp(const std::string& url, const FetchLimits& limits);

}  // namespace pitrel
