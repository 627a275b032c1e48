// Flag 0: a page of company-search results becomes the member-list result,
// the total hit count on the first line and one member name per listed
// company on the following lines (CR LF between lines, none after the last).
#pragma once

#include <string>
#include <string_view>

#include "worker/hosts.h"

namespace pitrel {

// html: the body mark-up as the page layer writes it (upper-case tags,
// "<DIV class=info>", href="..."). Empty when the page lists no company.
std::string CondenseMemberList(std::string_view html, const MarketplaceHosts& hosts);

}  // namespace pitrel
