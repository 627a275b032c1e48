#include "shell/version/version_check.h"

#include <QUrl>

#include "ports/messenger.h"
#include "shell/maker_site.h"
#include "shell/url_opener.h"
#include "shell/version/version_page.h"
#include "shell/version/version_text.h"

namespace quenlo {
namespace {

QString& State() {
  static QString state;
  return state;
}

}  // namespace

void ResetVersionCheck() { State().clear(); }

QString VersionCheckState() { return State(); }

QString NewVersionQuestion(const QString& version, const QString& siteName) {
  return QStringLiteral("本软件已升级，最新版本号为：") + version + QStringLiteral("\r\n\r\n") +
         QStringLiteral("现在就从") + siteName + QStringLiteral("网站下载最新版软件？");
}

QString CheckNewVersion(const QString& windowTitle, int productNumber,
                        const pitrel::FetchLimits& limits) {
  // A second call, also one made while the first is still loading, ends here.
  if (!State().isEmpty()) return {};
  State() = QStringLiteral("0");

  const QString url = ProductPageUrl(productNumber);
  const QString version = PublishedVersion(LoadPageText(url, limits));
  const double published = VersionNumber(version);
  const double running = VersionNumber(FilterVersionText(windowTitle));
  if (published == 0.0 || running == 0.0) return {};

  if (published != running && AskYesNo(NewVersionQuestion(version, MakerSiteName())))
    OpenUrl(QUrl(url));
  State() = version;
  return version;
}

QString CheckNewVersion(const QString& windowTitle, int productNumber) {
  return CheckNewVersion(windowTitle, productNumber, VersionPageLimits());
}

}  // namespace quenlo
