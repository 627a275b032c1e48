#include "worker/browser/fetch.h"

#include <curl/curl.h>

#include <memory>

#include "worker/browser/url_encoding.h"

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

void GlobalInitOnce() {
  static const bool initialized = (curl_global_init(CURL_GLOBAL_DEFAULT), true);
  (void)initialized;
}

struct CurlDeleter {
  void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};

// A browser-like identity; some sites answer bare clients differently.
constexpr char kUserAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)";

}  // namespace

FetchResult FetchUrl(const std::string& url, const FetchLimits& limits) {
  GlobalInitOnce();
  FetchResult result;
  result.final_url = url;
  std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
  if (!curl) {
    result.error = "curl_easy_init failed";
    return result;
  }
  const std::string wire_url = EncodeRequestUrl(url);
  Sink sink{&result.body, limits.max_bytes};
  CURL* handle = curl.get();
  curl_easy_setopt(handle, CURLOPT_URL, wire_url.c_str());
  curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https,file");
  curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(handle, CURLOPT_MAXREDIRS, 20L);
  curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, limits.connect_timeout_ms);
  curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, limits.total_timeout_ms);
  curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(handle, CURLOPT_ACCEPT_ENCODING, "");
  curl_easy_setopt(handle, CURLOPT_USERAGENT, kUserAgent);
  curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, WriteBody);
  curl_easy_setopt(handle, CURLOPT_WRITEDATA, &sink);
  if (limits.max_bytes > 0)
    curl_easy_setopt(handle, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.max_bytes));

  const CURLcode code = curl_easy_perform(handle);
  curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &result.status);
  long redirects = 0;
  curl_easy_getinfo(handle, CURLINFO_REDIRECT_COUNT, &redirects);
  if (redirects > 0) {
    char* effective = nullptr;
    if (curl_easy_getinfo(handle, CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective)
      result.final_url = effective;
  }
  char* content_type = nullptr;
  if (curl_easy_getinfo(handle, CURLINFO_CONTENT_TYPE, &content_type) == CURLE_OK && content_type)
    result.content_type = content_type;

  // A page cut short by the cap or the clock is still shown, as a browser
  // shows what it has; only a transfer that brought nothing counts as failed.
  result.received = code == CURLE_OK || !result.body.empty() || result.status > 0;
  if (code != CURLE_OK) result.error = sink.truncated ? "size limit reached" : curl_easy_strerror(code);
  return result;
}

}  // namespace pitrel
