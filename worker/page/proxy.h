// The proxies the worker's pages go through, as the environment names them,
// the way curl and most tools read them: http_proxy for http pages,
// https_proxy for https ones (the lower-case name first, then the upper-case
// one), no_proxy for the hosts reached directly.
//
// A proxy is written [http://][user:password@]host[:port][/] (port 80 when
// none is given); user and password, percent-escapes undone, go to it as
// Basic credentials. Only http proxies are spoken to: an https page goes
// through a CONNECT tunnel, an http page as an absolute-form request.
//
// no_proxy is a list split at commas and blanks: "*" for every host, a name
// for that host and every host under it (a leading dot changes nothing), an
// IP address or range ("10.0.0.0/8", "fd00::/8") for the addresses in it;
// any entry may end in ":port" to hold for that port only. Names are not
// looked up: "localhost" does not cover "127.0.0.1".
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "worker/page/fetch_failure.h"
#include "worker/page/web_address.h"

namespace pitrel {

struct ProxySettings {
  std::string http;      // the proxy for http pages; empty: none
  std::string https;     // the proxy for https pages
  std::string no_proxy;  // the hosts reached directly
};

ProxySettings ProxiesFromEnvironment();

struct Proxy {
  Authority authority;      // where to connect
  std::string credentials;  // the Proxy-Authorization value; empty without a user
};

// The proxy for a page on target: nothing when it is reached directly.
// False, with error, when the proxy's setting cannot be used.
bool ChooseProxy(const ProxySettings& settings, const WebTarget& target,
                 std::optional<Proxy>* proxy, FetchError* error);

// Whether no_proxy names host (without brackets) on port.
bool BypassesProxy(std::string_view no_proxy, std::string_view host, int port);

}  // namespace pitrel
