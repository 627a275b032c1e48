#include "worker/page/http_fetch.h"

#include <ctime>
#include <optional>

#include "worker/page/http_exchange.h"
#include "worker/page/network_space.h"
#include "worker/page/url_encoding.h"
#include "worker/page/url_resolve.h"

namespace pitrel {
namespace {

// One request on one connection, and whether its site lies in the own network.
struct Hop {
  Exchange exchange;
  bool in_own_network = false;
};

std::string CommonHeaders() {
  return std::string("User-Agent: ") + kBrowserUserAgent +
         "\r\nAccept: */*\r\nAccept-Encoding: gzip, deflate\r\nConnection: close\r\n\r\n";
}

std::string ProxyCredentials(const Proxy& proxy) {
  return proxy.credentials.empty() ? std::string() : "Proxy-Authorization: " + proxy.credentials + "\r\n";
}

// Through a proxy, a plain page is named whole and the proxy's credentials go along.
std::string RequestFor(const WebTarget& target, const std::optional<Proxy>& proxy) {
  const bool absolute = proxy && !target.secure;
  return "GET " + (absolute ? target.Origin() : std::string()) + target.path + " HTTP/1.1\r\nHost: " +
         target.host_header + "\r\n" + (absolute ? ProxyCredentials(*proxy) : std::string()) + CommonHeaders();
}

bool OpenTunnel(HttpConnection& connection, const WebTarget& target, const Proxy& proxy,
                const FetchLimits& limits, const Deadline& deadline, FetchError* error) {
  const std::string server = target.authority.HostAndPort();
  const std::string request =
      "CONNECT " + server + " HTTP/1.1\r\nHost: " + server + "\r\n" + ProxyCredentials(proxy) + CommonHeaders();
  std::string buffer;
  const std::optional<ResponseHead> head = connection.SendAll(request, deadline, error)
                                               ? ReadHead(connection, deadline, limits, buffer, error)
                                               : std::nullopt;
  if (!head) error->Set(FetchFailure::kProxy, "proxy broke off the tunnel: " + error->text);
  else if (head->status / 100 != 2)
    error->Set(FetchFailure::kProxy, "proxy refused the tunnel to " + server + ": HTTP " + std::to_string(head->status));
  return head && head->status / 100 == 2;
}

bool ConnectThroughProxy(HttpConnection& connection, const WebTarget& target, const Proxy& proxy,
                         const FetchLimits& limits, const Deadline& deadline, bool own_network,
                         FetchError* error) {
  if (!own_network && IsOwnNetworkHost(target.authority.host).value_or(false)) {
    error->Set(FetchFailure::kRefusedRedirect,
               "refused a redirect from a public address into the own network (" + target.authority.host + ")");
    return false;
  }
  // The proxy is the user's own choice, wherever it stands.
  if (!connection.Connect(proxy.authority.host, proxy.authority.port, limits.connect_timeout_ms, deadline,
                          /*own_network=*/true, error)) {
    error->Set(FetchFailure::kProxy, "proxy refused or unreachable: " + error->text);
    return false;
  }
  return !target.secure || OpenTunnel(connection, target, proxy, limits, deadline, error);
}

Hop RunHop(const WebTarget& target, const ProxySettings& proxies, const FetchLimits& limits,
           const Deadline& deadline, bool own_network) {
  Hop hop;
  FetchError& error = hop.exchange.error;
  std::optional<Proxy> proxy;
  if (!ChooseProxy(proxies, target, &proxy, &error)) return hop;
  HttpConnection connection;
  const Authority& site = target.authority;
  const bool connected =
      proxy ? ConnectThroughProxy(connection, target, *proxy, limits, deadline, own_network, &error)
            : connection.Connect(site.host, site.port, limits.connect_timeout_ms, deadline, own_network, &error);
  hop.in_own_network = proxy ? IsOwnNetworkHost(site.host).value_or(false) : connection.PeerInOwnNetwork();
  if (!connected || (target.secure && !connection.StartTls(site.host, deadline, &error))) {
    NoteTimeout(deadline, limits, &error);
    return hop;
  }
  hop.exchange = RunExchange(connection, RequestFor(target, proxy), deadline, limits);
  // A proxy that wants other credentials refuses the page, as it refuses a tunnel.
  if (proxy && hop.exchange.status == 407) {
    hop.exchange.answered = false;
    hop.exchange.status = 0;
    hop.exchange.error.Set(FetchFailure::kProxy, "proxy refused the request: HTTP 407");
  }
  return hop;
}

FetchResult& Failed(FetchResult& result, FetchFailure kind, std::string error) {
  result.failure = kind;
  result.error = std::move(error);
  return result;
}

FetchResult& Answered(FetchResult& result, Exchange& exchange) {
  result.received = exchange.answered;
  result.status = exchange.status;
  result.content_type = std::move(exchange.content_type);
  result.body = std::move(exchange.body);
  if (!exchange.retry_after.empty())
    result.retry_after_seconds = RetryAfterSeconds(exchange.retry_after, std::time(nullptr));
  return Failed(result, exchange.error.kind, std::move(exchange.error.text));
}

}  // namespace

FetchResult FetchHttp(const std::string& url, const FetchLimits& limits, const ProxySettings& proxies) {
  FetchResult result;
  result.final_url = url;
  const Deadline deadline(limits.total_timeout_ms);
  std::string current = EncodeRequestUrl(url);
  bool own_network = true;
  for (int redirects = 0;; ++redirects) {
    const std::optional<WebTarget> target = SplitWebUrl(current);
    if (!target) return Failed(result, FetchFailure::kBadAddress, "malformed URL: " + current);
    Hop hop = RunHop(*target, proxies, limits, deadline, own_network);
    // Once a page came from the public internet, no redirect leads into the own network.
    own_network = own_network && hop.in_own_network;
    Exchange& exchange = hop.exchange;
    if (!exchange.answered || !IsRedirect(exchange.status) || exchange.location.empty())
      return Answered(result, exchange);
    if (redirects == kMaxRedirects)
      return Failed(result, FetchFailure::kRefusedRedirect, "more than " + std::to_string(kMaxRedirects) + " redirects");
    current = ResolveUrl(current, exchange.location);
    result.final_url = current;
    if (const std::string scheme = SchemeOf(current); scheme != "http" && scheme != "https")
      return Failed(result, FetchFailure::kRefusedRedirect, "redirect to an address that is not a web page: " + current);
  }
}

}  // namespace pitrel
