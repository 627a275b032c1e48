#include "worker/page/web_address.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace pitrel {
namespace {

std::string LowerCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string_view WithoutBlanks(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 0x20) text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 0x20) text.remove_suffix(1);
  return text;
}

std::optional<int> PortOf(std::string_view text, int default_port) {
  if (text.empty()) return default_port;
  int port = 0;
  const auto [end, code] = std::from_chars(text.data(), text.data() + text.size(), port);
  if (code != std::errc() || end != text.data() + text.size() || port < 1 || port > 65535)
    return std::nullopt;
  return port;
}

}  // namespace

std::string Authority::HostAndPort() const {
  return (bracketed ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

std::optional<Authority> ParseAuthority(std::string_view text, int default_port) {
  Authority parsed;
  if (const std::size_t at = text.rfind('@'); at != std::string_view::npos) {
    parsed.user_info.assign(text.substr(0, at));
    text.remove_prefix(at + 1);
  }
  std::string_view host = text, port_text;
  parsed.bracketed = text.starts_with('[');
  if (parsed.bracketed) {
    const std::size_t close = text.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    host = text.substr(1, close - 1);
    const std::string_view after = text.substr(close + 1);
    if (!after.empty() && after.front() != ':') return std::nullopt;
    if (!after.empty()) port_text = after.substr(1);
  } else if (const std::size_t colon = text.rfind(':'); colon != std::string_view::npos) {
    host = text.substr(0, colon);
    port_text = text.substr(colon + 1);
  }
  const std::optional<int> port = PortOf(port_text, default_port);
  if (host.empty() || !port) return std::nullopt;
  parsed.host.assign(host);
  parsed.port = *port;
  return parsed;
}

std::string WebTarget::Origin() const { return (secure ? "https://" : "http://") + host_header; }

std::optional<WebTarget> SplitWebUrl(std::string_view url) {
  url = WithoutBlanks(url);
  WebTarget target;
  const std::string scheme = SchemeOf(url);
  if ((scheme != "http" && scheme != "https") || url.substr(scheme.size()).substr(0, 3) != "://")
    return std::nullopt;
  target.secure = scheme == "https";
  url.remove_prefix(scheme.size() + 3);
  url = url.substr(0, url.find('#'));
  const std::size_t path_start = std::min(url.find('/'), url.find('?'));
  const int default_port = target.secure ? 443 : 80;
  std::optional<Authority> authority = ParseAuthority(url.substr(0, path_start), default_port);
  if (!authority) return std::nullopt;
  authority->user_info.clear();  // never sent
  target.authority = *authority;
  const std::string host = authority->bracketed ? "[" + authority->host + "]" : authority->host;
  target.host_header = LowerCase(host);
  if (authority->port != default_port) target.host_header += ":" + std::to_string(authority->port);
  const std::string_view path = path_start == std::string_view::npos ? "" : url.substr(path_start);
  target.path = path.empty() || path.front() == '?' ? "/" + std::string(path) : std::string(path);
  return target;
}

std::string SchemeOf(std::string_view url) {
  url = WithoutBlanks(url);
  const std::size_t colon = url.find(':');
  return colon == std::string_view::npos ? std::string() : LowerCase(url.substr(0, colon));
}

}  // namespace pitrel
