// Which members a company search lists. The keyword picks the hit count so
// that a test can ask for exactly what it needs:
//   hits<N>  exactly N hits (hits0, hits1, hits95). Hit i is member
//            ((i - 1) mod catalogue size) + 1, so N above the catalogue's
//            size repeats names on later pages.
//   nocount  the count on the page is not a number; the page lists the
//            whole catalogue's page as usual.
//   other    the whole catalogue.
// Pages hold 40 hits; the last one holds the rest; pages past the end list
// nothing but still carry the count.
#pragma once

#include "tools/sample_market/catalogue.h"

#include <string_view>
#include <vector>

namespace sample_market {

inline constexpr int kHitsPerPage = 40;

struct SearchListing {
  bool count_is_number = true;
  long long hit_count = 0;
  std::vector<const Member*> members;  // the companies of the requested page
};

long long HitCountFor(const Catalogue& catalogue, std::string_view keyword);
SearchListing ListSearch(const Catalogue& catalogue, std::string_view keyword, int page);

}  // namespace sample_market
