#include "worker/page/proxy.h"

#include <arpa/inet.h>

#include <cctype>
#include <cstdlib>

#include "worker/page/url_encoding.h"

namespace pitrel {
namespace {

std::string FromEnvironment(const char* lower, const char* upper) {
  for (const char* name : {lower, upper})
    if (const char* value = std::getenv(name); value && *value) return value;
  return {};
}

std::string LowerCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string Base64(std::string_view bytes) {
  static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
    unsigned long group = 0;
    for (std::size_t k = 0; k < 3; ++k)
      group = group << 8 | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
    for (std::size_t k = 0; k < 4; ++k) out.push_back(k <= n ? kDigits[group >> (18 - 6 * k) & 63] : '=');
  }
  return out;
}

// "user:password" as written in the proxy's address, as Basic credentials.
std::string BasicCredentials(std::string_view user_info) {
  const std::size_t colon = user_info.find(':');
  const std::string user = PercentDecoded(user_info.substr(0, colon));
  const std::string password =
      colon == std::string_view::npos ? std::string() : PercentDecoded(user_info.substr(colon + 1));
  return "Basic " + Base64(user + ":" + password);
}

std::optional<Proxy> ParseProxy(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  if (const std::size_t separator = text.find("://"); separator != std::string_view::npos) {
    if (LowerCase(text.substr(0, separator)) != "http") return std::nullopt;
    text.remove_prefix(separator + 3);
  }
  const std::optional<Authority> authority = ParseAuthority(text.substr(0, text.find('/')), 80);
  if (!authority) return std::nullopt;
  Proxy proxy{*authority, {}};
  if (!authority->user_info.empty()) proxy.credentials = BasicCredentials(authority->user_info);
  proxy.authority.user_info.clear();
  return proxy;
}

// An address, in network byte order, of 4 or 16 bytes; empty for a name.
std::string AddressBytes(const std::string& host) {
  unsigned char bytes[sizeof(in6_addr)];
  if (inet_pton(AF_INET, host.c_str(), bytes) == 1) return std::string(reinterpret_cast<char*>(bytes), 4);
  if (inet_pton(AF_INET6, host.c_str(), bytes) == 1) return std::string(reinterpret_cast<char*>(bytes), 16);
  return {};
}

bool InRange(const std::string& address, const std::string& range, int bits) {
  if (address.empty() || address.size() != range.size() || bits < 0 || bits > int(range.size() * 8)) return false;
  for (int bit = 0; bit < bits; ++bit) {
    const int mask = 0x80 >> (bit % 8);
    if ((address[bit / 8] & mask) != (range[bit / 8] & mask)) return false;
  }
  return true;
}

// One no_proxy entry without its port: a name suffix, an address or a range.
bool EntryNames(std::string entry, const std::string& host) {
  const std::size_t slash = entry.find('/');
  if (slash != std::string::npos)
    return InRange(AddressBytes(host), AddressBytes(entry.substr(0, slash)), std::atoi(entry.c_str() + slash + 1));
  if (const std::string address = AddressBytes(entry); !address.empty()) return address == AddressBytes(host);
  while (entry.starts_with('.')) entry.erase(0, 1);
  if (entry.ends_with('.')) entry.pop_back();
  return !entry.empty() && (host == entry || host.ends_with("." + entry));
}

// Splits "host:port", "[v6]:port", "v6" or "range"; port 0 when none is given.
std::pair<std::string, int> EntryAndPort(std::string_view entry) {
  if (entry.starts_with('[')) {
    const std::size_t close = entry.find(']');
    if (close == std::string_view::npos) return {std::string(entry), 0};
    const std::string_view after = entry.substr(close + 1);
    return {std::string(entry.substr(1, close - 1)), after.starts_with(':') ? std::atoi(after.data() + 1) : 0};
  }
  const std::size_t colon = entry.find(':');
  if (colon == std::string_view::npos || entry.find(':', colon + 1) != std::string_view::npos)
    return {std::string(entry), 0};
  return {std::string(entry.substr(0, colon)), std::atoi(std::string(entry.substr(colon + 1)).c_str())};
}

}  // namespace

ProxySettings ProxiesFromEnvironment() {
  return {FromEnvironment("http_proxy", "HTTP_PROXY"), FromEnvironment("https_proxy", "HTTPS_PROXY"),
          FromEnvironment("no_proxy", "NO_PROXY")};
}

bool BypassesProxy(std::string_view no_proxy, std::string_view host_text, int port) {
  std::string host = LowerCase(host_text);
  if (host.ends_with('.')) host.pop_back();
  std::size_t at = 0;
  while (at < no_proxy.size()) {
    const std::size_t end = std::min(no_proxy.find_first_of(", \t", at), no_proxy.size());
    const std::string_view entry = no_proxy.substr(at, end - at);
    at = end + 1;
    if (entry == "*") return true;
    if (entry.empty()) continue;
    const auto [name, entry_port] = EntryAndPort(entry);
    if ((entry_port == 0 || entry_port == port) && EntryNames(LowerCase(name), host)) return true;
  }
  return false;
}

bool ChooseProxy(const ProxySettings& settings, const WebTarget& target, std::optional<Proxy>* proxy,
                 FetchError* error) {
  proxy->reset();
  const std::string& setting = target.secure ? settings.https : settings.http;
  if (setting.empty() || BypassesProxy(settings.no_proxy, target.authority.host, target.authority.port))
    return true;
  *proxy = ParseProxy(setting);
  if (!*proxy) error->Set(FetchFailure::kBadAddress, "unusable proxy setting (only http:// proxies): " + setting);
  return proxy->has_value();
}

}  // namespace pitrel
