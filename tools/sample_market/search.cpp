#include "tools/sample_market/search.h"

#include <algorithm>
#include <charconv>

namespace sample_market {

long long HitCountFor(const Catalogue& catalogue, std::string_view keyword) {
  constexpr std::string_view kPrefix = "hits";
  if (keyword.starts_with(kPrefix) && keyword.size() > kPrefix.size()) {
    std::string_view digits = keyword.substr(kPrefix.size());
    long long hits = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), hits);
    if (error == std::errc() && end == digits.data() + digits.size() && hits >= 0) return hits;
  }
  return catalogue.size();
}

SearchListing ListSearch(const Catalogue& catalogue, std::string_view keyword, int page) {
  SearchListing listing;
  listing.count_is_number = keyword != "nocount";
  listing.hit_count = HitCountFor(catalogue, keyword);
  if (page < 1) return listing;
  long long first = static_cast<long long>(page - 1) * kHitsPerPage;
  long long last = std::min(first + kHitsPerPage, listing.hit_count);
  for (long long hit = first; hit < last; ++hit) {
    listing.members.push_back(&catalogue.members()[hit % catalogue.size()]);
  }
  return listing;
}

}  // namespace sample_market
