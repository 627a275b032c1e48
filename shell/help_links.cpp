#include "shell/help_links.h"

#include "shell/maker_site.h"
#include "store/settings.h"

namespace quenlo {
namespace {

constexpr char kHelpSection[] = "Help";
constexpr char kMakerDetailsSection[] = "Maker";

QString Setting(const char* section, const char* key, const QString& fallback) {
  return GetSettingValue(QString::fromLatin1(kSettingsApplication), QString::fromLatin1(section),
                         QString::fromLatin1(key), fallback);
}

}  // namespace

QUrl HelpPageUrl() {
  return QUrl(Setting(kHelpSection, "Url", MakerSiteAddress() + QStringLiteral("help/")));
}

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
  d.siteName = MakerSiteName();
  d.site = QUrl(MakerSiteAddress());
  d.phone = Setting(kMakerDetailsSection, "Phone", QStringLiteral("000-00000000"));
  d.email = Setting(kMakerDetailsSection, "Email", QStringLiteral("support@quenlo.net"));
  d.qq = Setting(kMakerDetailsSection, "QQ", SupportAccount(1));
  return d;
}

}  // namespace quenlo
