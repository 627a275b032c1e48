#include "shell/url_opener.h"

#include <QDesktopServices>

namespace quenlo {
namespace {

UrlOpener& InstalledOpener() {
  static UrlOpener opener;
  return opener;
}

}  // namespace

void OpenUrl(const QUrl& url) {
  if (const UrlOpener& opener = InstalledOpener()) return opener(url);
  QDesktopServices::openUrl(url);
}

void SetUrlOpener(UrlOpener opener) { InstalledOpener() = std::move(opener); }

}  // namespace quenlo
