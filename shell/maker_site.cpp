#include "shell/maker_site.h"

#include "store/settings.h"

namespace quenlo {

QString MakerSiteAddress() {
  QString address = qEnvironmentVariable(kMakerSiteVariable).trimmed();
  if (address.isEmpty())
    address = GetSettingValue(kSettingsApplication, kMakerSection, kMakerSiteKey, kDefaultMakerSite)
                  .trimmed();
  if (!address.contains(QStringLiteral("://"))) address.prepend(QStringLiteral("http://"));
  if (!address.endsWith(u'/')) address.append(u'/');
  return address;
}

QString MakerSiteName() {
  return GetSettingValue(kSettingsApplication, kMakerSection, kMakerNameKey,
                         QString::fromUtf16(kDefaultMakerName));
}

QString ProductPageUrl(int productNumber) {
  return MakerSiteAddress() + QStringLiteral("downpage/Product.asp?ID=") +
         QString::number(productNumber);
}

}  // namespace quenlo
