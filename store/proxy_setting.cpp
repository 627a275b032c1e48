#include "store/proxy_setting.h"

#include "store/settings.h"

namespace quenlo {

QString ProxyInForce() {
  const QString fromEnvironment = qEnvironmentVariable(kProxyVariable).trimmed();
  if (!fromEnvironment.isEmpty()) return fromEnvironment;
  return GetSettingValue(QString::fromLatin1(kSettingsApplication),
                         QString::fromLatin1(kNetworkSection), QString::fromLatin1(kProxyKey), {})
      .trimmed();
}

QList<QPair<QString, QString>> WorkerProxyEnvironment() {
  const QString proxy = ProxyInForce();
  if (proxy.isEmpty()) return {};
  return {{QStringLiteral("http_proxy"), proxy}, {QStringLiteral("https_proxy"), proxy}};
}

}  // namespace quenlo
