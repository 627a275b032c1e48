#include "worker/hosts.h"

#include <cstdlib>

#include "worker/marketplace_hosts.h"

namespace pitrel {
namespace {

std::string FromEnvironment(const char* variable, const char* fallback) {
  const char* value = std::getenv(variable);
  return (value && *value) ? value : fallback;
}

}  // namespace

MarketplaceHosts HostsFromEnvironment() {
  return {FromEnvironment(kMainHostVariable, kDefaultMainHost),
          FromEnvironment(kSearchHostVariable, kDefaultSearchHost),
          FromEnvironment(kMemberDomainVariable, kDefaultMemberDomain),
          FromEnvironment(kDirectoryHostVariable, kDefaultDirectoryHost)};
}

}  // namespace pitrel
