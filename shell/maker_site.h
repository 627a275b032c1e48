// The maker's web site: where the product pages are and what it is called.
// The address comes from the environment variable QUENLO_MAKER_SITE, else the
// settings (application "Pitrel", section "Maker"), else the built-in default.
#pragma once

#include <QString>

namespace quenlo {

inline constexpr char kMakerSiteVariable[] = "QUENLO_MAKER_SITE";
inline constexpr char kMakerSection[] = "Maker";
inline constexpr char kMakerSiteKey[] = "SiteAddress";
inline constexpr char kMakerNameKey[] = "SiteName";
inline constexpr char kDefaultMakerSite[] = "http://www.quenlo.net/";
inline constexpr char16_t kDefaultMakerName[] = u"Quenlo软件";

// The site's base address, always ending in '/'.
QString MakerSiteAddress();
QString MakerSiteName();
// The product-information page of product number: base + "downpage/Product.asp?ID=" + number.
QString ProductPageUrl(int productNumber);

}  // namespace quenlo
