#include "shell/help_links.h"

#include "store/settings.h"

namespace quenlo {
namespace {

constexpr char kHelpSection[] = "Help";
constexpr char kMakerDetailsSection[] = "Maker";

QString Setting(const char* section, const char* key, const QString& fallback) {
  return GetSettingValue(QString::fromLatin1(kSettingsApplication), QString::fromLatin1(section),
                         QString::fromLatin1(key), fallback);
}

QString MakerSite() {
  QString site = qEnvironmentVariable("QUENLO_MAKER_SITE").trimmed();
  if (site.isEmpty())
    site = Setting(kMakerDetailsSection, "SiteAddress", QStringLiteral("http://www.quenlo.net/"));
  if (!site.contains(QStringLiteral("://"))) site.prepend(QStringLiteral("http://"));
  if (!site.endsWith(u'/')) site.append(u'/');
  return site;
}

}  // namespace

QUrl HelpPageUrl() { return QUrl(Setting(kHelpSection, "Url", MakerSite() + QStringLiteral("help/"))); }

QString SupportAccount(int which) {
  return which == 1 ? Setting(kHelpSection, "QQ1", QStringLiteral("10000001"))
                    : Setting(kHelpSection, "QQ2", QStringLiteral("10000002"));
}

QUrl MessengerUrl(const QString& account) {
  // The messenger's links put "message" where a host would stand.
  const QString uin = QString::fromLatin1(QUrl::toPercentEncoding(account));
  return QUrl(QStringLiteral("tencent://message/?uin=%1&Menu=yes").arg(uin));
}

MakerDetails ReadMakerDetails() {
  MakerDetails d;
  d.name = Setting(kMakerDetailsSection, "Name", QStringLiteral("Quenlo软件工作室"));
  d.siteName = Setting(kMakerDetailsSection, "SiteName", QStringLiteral("Quenlo软件"));
  d.site = QUrl(MakerSite());
  d.phone = Setting(kMakerDetailsSection, "Phone", QStringLiteral("000-00000000"));
  d.email = Setting(kMakerDetailsSection, "Email", QStringLiteral("support@quenlo.net"));
  d.qq = Setting(kMakerDetailsSection, "QQ", SupportAccount(1));
  return d;
}

}  // namespace quenlo
