#include "harvest/marketplace_urls.h"

#include "harvest/regions.h"
#include "store/marketplace_settings.h"
#include "worker/marketplace_hosts.h"

#include <QDesktopServices>
#include <QUrl>

namespace quenlo {

namespace {

// The characters of a keyword that would end or split the part of the
// address it stands in, written as escapes: "a#b" is searched as typed, not
// as "a". Everything else (Chinese text included) goes as typed; the worker
// encodes it.
QString Escaped(const QString& keyword, QStringView specials) {
  QString out;
  for (const QChar c : keyword) {
    if (specials.contains(c))
      out += u'%' + QString::number(c.unicode(), 16).toUpper().rightJustified(2, u'0');
    else out += c;
  }
  return out;
}

QString KeywordInPath(const QString& keyword) { return Escaped(keyword, u"%/?#\\"); }

// "http://host" for a host set without a scheme, the host as set with one.
QString SiteAddress(const QString& host) {
  return QString::fromStdString(pitrel::SiteAddress(host.toStdString()));
}
QString KeywordInQuery(const QString& keyword) { return Escaped(keyword, u"%#&"); }

}  // namespace

QString BuildSearchUrl(const QString& keyword, const QString& regionValue, int page) {
  const QString site = SiteAddress(MarketplaceHostsInForce().search);
  if (regionValue == kOverseasRegion) {
    return site +
           "/search/company_search.htm?filt=y&categoryId=0&maxCatId=&isNoRepost=false"
           "&descend_order=&show_fid=&cat_field=&tradeType=&searchType=&pageSize=40&sm="
           "&seType=&townId=0&onlineStatus=&memberlevel=pm&pmType=etc&province=&show_province=" +
           regionValue + "&biztype=&established_year=&keywords=" + KeywordInQuery(keyword);
  }
  return site + "/company/" + KeywordInPath(keyword) + "/" + QString::number(page) +
         ".html?page_size=40&province=" + regionValue + "&show_province=" + regionValue +
         "&search_type=search&filt=y";
}

QString BuildContactUrl(const QString& member) {
  return SiteAddress(MarketplaceHostsInForce().main) + "/company/detail/contact/" + member +
         ".html";
}

void OpenInBrowser(const QString& url) {
  // TolerantMode keeps the address as typed; Qt encodes it for the handler.
  QDesktopServices::openUrl(QUrl(url, QUrl::TolerantMode));
}

}  // namespace quenlo
