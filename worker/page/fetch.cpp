#include "worker/page/fetch.h"

#include <algorithm>
#include <memory>

#include "worker/page/curl_runtime.h"
#include "worker/page/http_connection.h"
#include "worker/page/plain_http.h"
#include "worker/page/url_encoding.h"

namespace pitrel {
namespace {

struct Sink {
  std::string* body;
  std::size_t max_bytes;
  bool truncated = false;
};

std::size_t WriteBody(char* data, std::size_t size, std::size_t count, void* user) {
  auto* sink = static_cast<Sink*>(user);
  const std::size_t bytes = size * count;
  const std::size_t room = sink->max_bytes - std::min(sink->max_bytes, sink->body->size());
  if (bytes > room) {
    sink->body->append(data, room);
    sink->truncated = true;
    return 0;  // stops the transfer: the cap is reached
  }
  sink->body->append(data, bytes);
  return bytes;
}

void SetOptions(const CurlRuntime& curl, CURL* handle, const std::string& wire_url,
                const FetchLimits& limits, long max_redirects, Sink& sink) {
  curl.easy_setopt(handle, CURLOPT_URL, wire_url.c_str());
  curl.easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https,file");
  curl.easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl.easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
  curl.easy_setopt(handle, CURLOPT_MAXREDIRS, max_redirects);
  curl.easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, limits.connect_timeout_ms);
  curl.easy_setopt(handle, CURLOPT_TIMEOUT_MS, limits.total_timeout_ms);
  curl.easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
  curl.easy_setopt(handle, CURLOPT_ACCEPT_ENCODING, "");
  curl.easy_setopt(handle, CURLOPT_USERAGENT, kBrowserUserAgent);
  curl.easy_setopt(handle, CURLOPT_WRITEFUNCTION, WriteBody);
  // The cap is applied by WriteBody alone: a size limit given to libcurl would
  // refuse a large file or a long Content-Length outright and keep nothing.
  curl.easy_setopt(handle, CURLOPT_WRITEDATA, &sink);
}

FetchFailure FailureOf(CURLcode code) {
  switch (code) {
    case CURLE_OK:
    case CURLE_WRITE_ERROR: return FetchFailure::kNone;  // the size cap stopped the transfer
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT: return FetchFailure::kNoConnection;
    case CURLE_COULDNT_RESOLVE_PROXY: return FetchFailure::kProxy;
    case CURLE_OPERATION_TIMEDOUT: return FetchFailure::kTimedOut;
    case CURLE_PARTIAL_FILE: return FetchFailure::kTruncated;
    case CURLE_PEER_FAILED_VERIFICATION: return FetchFailure::kCertificate;
    case CURLE_SSL_CONNECT_ERROR: return FetchFailure::kTls;
    case CURLE_TOO_MANY_REDIRECTS:
    case CURLE_UNSUPPORTED_PROTOCOL: return FetchFailure::kRefusedRedirect;
    case CURLE_URL_MALFORMAT:
    case CURLE_FILE_COULDNT_READ_FILE: return FetchFailure::kBadAddress;
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_BAD_CONTENT_ENCODING: return FetchFailure::kMalformed;
    default: return FetchFailure::kReset;  // sending or receiving broke off
  }
}

// https and file addresses, through libcurl.
FetchResult FetchWithCurl(const std::string& url, const FetchLimits& limits, long max_redirects) {
  FetchResult result;
  result.final_url = url;
  const CurlRuntime* curl = LoadCurlRuntime(&result.error);
  if (!curl) {
    result.failure = FetchFailure::kBadAddress;  // this worker cannot read such an address
    return result;
  }
  const auto cleanup = [curl](CURL* handle) { curl->easy_cleanup(handle); };
  std::unique_ptr<CURL, decltype(cleanup)> owned(curl->easy_init(), cleanup);
  if (!owned) {
    result.error = "curl_easy_init failed";
    result.failure = FetchFailure::kReset;
    return result;
  }
  CURL* handle = owned.get();
  const std::string wire_url = EncodeRequestUrl(url);
  Sink sink{&result.body, limits.max_bytes};
  SetOptions(*curl, handle, wire_url, limits, max_redirects, sink);

  const CURLcode code = curl->easy_perform(handle);
  curl->easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &result.status);
  long redirects = 0;
  curl->easy_getinfo(handle, CURLINFO_REDIRECT_COUNT, &redirects);
  if (redirects > 0) {
    char* effective = nullptr;
    if (curl->easy_getinfo(handle, CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective)
      result.final_url = effective;
  }
  char* content_type = nullptr;
  if (curl->easy_getinfo(handle, CURLINFO_CONTENT_TYPE, &content_type) == CURLE_OK && content_type)
    result.content_type = content_type;

  // A page cut short by the cap or the clock is still shown, as a browser
  // shows what it has; only a transfer that brought nothing counts as failed.
  result.received = code == CURLE_OK || !result.body.empty() || result.status > 0;
  if (code != CURLE_OK) result.error = sink.truncated ? "size limit reached" : curl->easy_strerror(code);
  result.failure = sink.truncated ? FetchFailure::kNone : FailureOf(code);
  if (curl_off_t wait = -1; curl->easy_getinfo(handle, CURLINFO_RETRY_AFTER, &wait) == CURLE_OK && wait > 0)
    result.retry_after_seconds = static_cast<long>(wait);
  return result;
}

}  // namespace

FetchResult FetchUrl(const std::string& url, const FetchLimits& limits) {
  if (!IsPlainHttpUrl(url)) return FetchWithCurl(url, limits, kMaxRedirects);
  const Deadline deadline(limits.total_timeout_ms);
  PlainHttpFetch plain = FetchPlainHttp(url, limits);
  if (plain.hand_over_url.empty()) return std::move(plain.result);
  // A redirect left plain http: libcurl goes on with what is left of the
  // time and the redirect allowance.
  FetchLimits rest = limits;
  rest.total_timeout_ms = std::max(1L, deadline.RemainingMs());
  return FetchWithCurl(plain.hand_over_url, rest, kMaxRedirects - plain.redirects);
}

}  // namespace pitrel
