// The marketplace's hosts. Compiled-in defaults, each overridden by an
// environment variable. A value may carry a port (127.0.0.1:8080) and a
// scheme (https://127.0.0.1:8443); without a scheme it is http. Header-only,
// so that quenlo can name the same defaults and build the same addresses
// without linking anything of the worker.
#pragma once

#include <string>
#include <string_view>

namespace pitrel {

inline constexpr char kDefaultMainHost[] = "china.alibaba.com";
inline constexpr char kDefaultSearchHost[] = "search.china.alibaba.com";
inline constexpr char kDefaultMemberDomain[] = "cn.alibaba.com";
inline constexpr char kDefaultDirectoryHost[] = "detail.china.alibaba.com";

inline constexpr char kMainHostVariable[] = "QUENLO_MAIN_HOST";
inline constexpr char kSearchHostVariable[] = "QUENLO_SEARCH_HOST";
inline constexpr char kMemberDomainVariable[] = "QUENLO_MEMBER_DOMAIN";
inline constexpr char kDirectoryHostVariable[] = "QUENLO_DIRECTORY_HOST";

// The scheme a host value names, "http" when it names none.
inline std::string_view SchemeOfHost(std::string_view host) {
  const std::size_t separator = host.find("://");
  return separator == std::string_view::npos ? std::string_view("http") : host.substr(0, separator);
}

// The host and port of a host value, without its scheme or a trailing "/":
// what links on the marketplace's pages carry.
inline std::string_view HostWithoutScheme(std::string_view host) {
  if (const std::size_t separator = host.find("://"); separator != std::string_view::npos)
    host.remove_prefix(separator + 3);
  while (host.ends_with('/')) host.remove_suffix(1);
  return host;
}

// "scheme://host[:port]", where every address on that host starts:
// "127.0.0.1:8080" gives "http://127.0.0.1:8080".
inline std::string SiteAddress(std::string_view host) {
  return std::string(SchemeOfHost(host)).append("://").append(HostWithoutScheme(host));
}

}  // namespace pitrel
