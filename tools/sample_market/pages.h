// The marketplace's pages as HTML documents (UTF-8 here; the server sends
// them as GBK). Each page carries the shapes the worker's condensers read
// once the worker has rendered it: see the comments in pages.cpp.
#pragma once

#include "tools/sample_market/catalogue.h"
#include "tools/sample_market/search.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace sample_market {

inline constexpr char kDefaultMemberDomain[] = "shop.sample.test";
inline constexpr char kDefaultDirectoryHost[] = "dir.sample.test";

struct PageSettings {
  std::string main_host;        // host:port the pages link back to
  std::string scheme = "http";  // of every link to the marketplace and its members' sites
  std::string member_domain = kDefaultMemberDomain;
  std::string directory_host = kDefaultDirectoryHost;
  int pad_kb = 0;  // pad each page to about this many KB of GBK; 0 = no padding
  std::uint32_t seed = 1;
};

std::string SearchPage(const SearchListing& listing, std::string_view keyword, int page,
                       const PageSettings& settings);
std::string ContactPage(const Member& member, const PageSettings& settings);
std::string MemberSiteContactPage(const Member& member, const PageSettings& settings);
std::string ProfilePage(const Member& member, const PageSettings& settings);
std::string CreditPage(const Member& member, const PageSettings& settings);
std::string OfferListPage(const Member& member, const PageSettings& settings);
std::string NotFoundPage(const PageSettings& settings);
std::string ServerErrorPage();

// Where a member-site contact page lives: /site/<name, percent-encoded>/contact.html
std::string MemberSiteContactPath(std::string_view member_name);

std::string EscapeHtml(std::string_view text);
std::string PercentEncode(std::string_view text);

}  // namespace sample_market
