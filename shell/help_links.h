// Addresses behind the help commands and the about window. Each one is a
// setting (application "Pitrel") with a default, so a distributor can point
// them elsewhere without a rebuild. The maker's site comes from
// shell/maker_site.h, as for the new-version check.
#pragma once

#include <QString>
#include <QUrl>

namespace quenlo {

// Sections: "Help" (keys Url, QQ1, QQ2) and "Maker" (keys Name, SiteAddress,
// SiteName, Phone, Email, QQ).

QUrl HelpPageUrl();
// A chat with a support account through the messenger's own link scheme.
QUrl MessengerUrl(const QString& account);
QString SupportAccount(int which);  // 1 or 2

struct MakerDetails {
  QString name;
  QString siteName;
  QUrl site;
  QString phone;
  QString email;
  QString qq;
};
MakerDetails ReadMakerDetails();

}  // namespace quenlo
