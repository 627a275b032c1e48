// The marketplace hosts this worker uses, from the environment or the
// compiled-in defaults of marketplace_hosts.h.
#pragma once

#include <string>

namespace pitrel {

struct MarketplaceHosts {
  // Each may carry a scheme and a port (marketplace_hosts.h).
  std::string main_host;       // offer lists, contact and company-profile pages
  std::string search_host;     // company search (read by quenlo; here for completeness)
  std::string member_domain;   // members' own sites: http(s)://<member>.<domain>/
  std::string directory_host;  // company directory: http(s)://<host>/athena/
};

// Each host from its environment variable when set and not empty, else the default.
MarketplaceHosts HostsFromEnvironment();

}  // namespace pitrel
