#include "store/marketplace_settings.h"

#include "store/settings.h"
#include "worker/marketplace_hosts.h"

namespace quenlo {
namespace {

QString HostInForce(const char* variable, const char* key, const char* fallback) {
  const QString fromEnvironment = qEnvironmentVariable(variable).trimmed();
  if (!fromEnvironment.isEmpty()) return fromEnvironment;
  // A blank setting counts as none, as an empty one does.
  const QString fromSettings =
      GetSettingValue(QString::fromLatin1(kSettingsApplication),
                      QString::fromLatin1(kMarketplaceSection), QString::fromLatin1(key), {})
          .trimmed();
  return fromSettings.isEmpty() ? QString::fromLatin1(fallback) : fromSettings;
}

}  // namespace

MarketplaceHosts MarketplaceHostsInForce() {
  MarketplaceHosts hosts;
  hosts.main = HostInForce(pitrel::kMainHostVariable, kMainHostKey, pitrel::kDefaultMainHost);
  hosts.search =
      HostInForce(pitrel::kSearchHostVariable, kSearchHostKey, pitrel::kDefaultSearchHost);
  hosts.memberDomain =
      HostInForce(pitrel::kMemberDomainVariable, kMemberDomainKey, pitrel::kDefaultMemberDomain);
  hosts.directory =
      HostInForce(pitrel::kDirectoryHostVariable, kDirectoryHostKey, pitrel::kDefaultDirectoryHost);
  return hosts;
}

QList<QPair<QString, QString>> WorkerHostEnvironment() {
  const MarketplaceHosts hosts = MarketplaceHostsInForce();
  return {
      {QString::fromLatin1(pitrel::kMainHostVariable), hosts.main},
      {QString::fromLatin1(pitrel::kSearchHostVariable), hosts.search},
      {QString::fromLatin1(pitrel::kMemberDomainVariable), hosts.memberDomain},
      {QString::fromLatin1(pitrel::kDirectoryHostVariable), hosts.directory},
  };
}

}  // namespace quenlo
