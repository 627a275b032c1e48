#include "harvest/marketplace_urls.h"

#include "harvest/regions.h"
#include "store/marketplace_settings.h"

#include <QDesktopServices>
#include <QUrl>

namespace quenlo {

QString BuildSearchUrl(const QString& keyword, const QString& regionValue, int page) {
  const QString host = MarketplaceHostsInForce().search;
  if (regionValue == kOverseasRegion) {
    return "http://" + host +
           "/search/company_search.htm?filt=y&categoryId=0&maxCatId=&isNoRepost=false"
           "&descend_order=&show_fid=&cat_field=&tradeType=&searchType=&pageSize=40&sm="
           "&seType=&townId=0&onlineStatus=&memberlevel=pm&pmType=etc&province=&show_province=" +
           regionValue + "&biztype=&established_year=&keywords=" + keyword;
  }
  return "http://" + host + "/company/" + keyword + "/" + QString::number(page) +
         ".html?page_size=40&province=" + regionValue + "&show_province=" + regionValue +
         "&search_type=search&filt=y";
}

QString BuildContactUrl(const QString& member) {
  return "http://" + MarketplaceHostsInForce().main + "/company/detail/contact/" + member +
         ".html";
}

void OpenInBrowser(const QString& url) {
  // TolerantMode keeps the address as typed; Qt encodes it for the handler.
  QDesktopServices::openUrl(QUrl(url, QUrl::TolerantMode));
}

}  // namespace quenlo
