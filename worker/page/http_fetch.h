// Fetches http:// and https:// pages: each hop over a connection of its own,
// straight to the site or through the proxy the settings name (a CONNECT
// tunnel for https, an absolute-form request for http), under TLS for https
// (tls_channel.h). Redirects are followed between the two schemes within one
// allowance and one deadline, never to another scheme, and never from the
// public internet into the user's own network (network_space.h); through a
// proxy, which resolves names itself, only an address written in the URL or
// a localhost name tells that a hop leads inward. Blocking; calls on several
// threads at once are fine.
#pragma once

#include <string>

#include "worker/page/fetch.h"
#include "worker/page/proxy.h"

namespace pitrel {

// A browser-like identity; some sites answer bare clients differently.
inline constexpr char kBrowserUserAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)";
inline constexpr int kMaxRedirects = 20;  // as browsers allow

// Same contract as FetchUrl for an http:// or https:// URL.
FetchResult FetchHttp(const std::string& url, const FetchLimits& limits,
                      const ProxySettings& proxies);

}  // namespace pitrel
