// Taking apart the addresses the worker fetches and the proxies it goes
// through: scheme, host, port and the path a request names.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pitrel {

// "host", "host:81", "[::1]:81"; user info is split off.
struct Authority {
  std::string host;        // without brackets
  int port = 0;            // the default port when the text gives none
  bool bracketed = false;  // an IPv6 literal
  std::string user_info;   // "user:password" as written, percent-escapes kept

  // "host:port" with brackets where needed, as CONNECT names a server.
  std::string HostAndPort() const;
};

// Nothing when the port is not a number from 1 to 65535 or the host is empty.
std::optional<Authority> ParseAuthority(std::string_view text, int default_port);

// One http:// or https:// address, ready to be asked for.
struct WebTarget {
  bool secure = false;  // https
  Authority authority;
  std::string host_header;  // as sent: lower case, brackets kept, port unless the scheme's own
  std::string path;         // path and query, at least "/"

  std::string Origin() const;  // "http://host[:port]", as a request through a proxy names it
};

// Splits an encoded http:// or https:// URL (scheme in any case); nothing
// for another scheme or an unusable host or port.
std::optional<WebTarget> SplitWebUrl(std::string_view url);

// The scheme before the first ':' (blanks around the URL ignored),
// lower-cased; empty when there is none.
std::string SchemeOf(std::string_view url);

}  // namespace pitrel
