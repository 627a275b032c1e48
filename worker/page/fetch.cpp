#include "worker/page/fetch.h"

#include "worker/page/file_fetch.h"
#include "worker/page/http_fetch.h"
#include "worker/page/web_address.h"

namespace pitrel {

FetchResult FetchUrl(const std::string& url, const FetchLimits& limits) {
  return FetchUrl(url, limits, ProxiesFromEnvironment());
}

FetchResult FetchUrl(const std::string& url, const FetchLimits& limits,
                     const ProxySettings& proxies) {
  const std::string scheme = SchemeOf(url);
  if (scheme == "http" || scheme == "https") return FetchHttp(url, limits, proxies);
  if (scheme == "file") return ReadFileUrl(url, limits);
  FetchResult result;
  result.final_url = url;
  result.failure = FetchFailure::kBadAddress;
  result.error = "not a web or file address: " + url;
  return result;
}

}  // namespace pitrel
