// Faults the marketplace can be told to show on chosen pages, for tests of
// how the worker and the harvests survive a misbehaving site.
//
// A fault list is written KIND@PAGE[,KIND@PAGE...], and "hostile" anywhere in
// the list swaps a few members' names for hostile ones (see catalogue.h).
//   KIND  slow      answer after the slow delay (default 3 s)
//         hang      never answer; hold the connection until shutdown or the
//                   hang limit (default 60 s), then reset it
//         500       answer "500 Internal Server Error"
//         503       answer "503 Service Unavailable"
//         429       answer "429 Too Many Requests"
//         404       answer "404 Not Found"
//         reset     reset the connection without answering
//         truncate  announce the whole page, send half of it, close
//         garbage   answer 200 with random bytes instead of the page
//         flood     a search page lists 5,000 companies instead of 40
//   KINDxK (500x1, resetx2): only the first K requests of each page the
//         fault chooses; later requests of that page are answered as if
//         the fault were not there.
//   PAGE  KIND:WHO, KIND one of search, contact, site, intro, credit,
//         offerlist, any; WHO one of
//           *      every such page
//           #K     member number K (for search: result page K)
//           %N     every member whose number is a multiple of N (for
//                  search: every page whose number is)
//           NAME   the member of that name (for search: a page number)
//         "any" alone is the same as "any:*".
// 429 and 503 carry a Retry-After header when the server is told one.
// Examples: 500@contact:#3   reset@intro:%7,hang@search:2   slow@any,hostile
//           500x1@contact:%20   429x1@search:2
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sample_market {

enum class FaultKind {
  kSlow, kHang, kServerError, kReset, kTruncate, kGarbage, kUnavailable, kTooMany, kNotFound, kFlood
};

inline constexpr int kFloodCompanies = 5000;
enum class PageKind { kSearch, kContact, kSite, kProfile, kCredit, kOfferList, kAny };

// One request as the fault list sees it.
struct PageRef {
  PageKind kind = PageKind::kAny;
  int number = 0;         // member number, or result page for a search; 0 = unknown
  std::string_view name;  // member name; empty for a search
};

struct Fault {
  enum class Who { kAll, kNumber, kEvery, kName };
  FaultKind kind = FaultKind::kServerError;
  PageKind page = PageKind::kAny;
  Who who = Who::kAll;
  int number = 0;
  std::string name;
  int first = 0;  // only the first `first` requests of a page; 0: every one

  bool Matches(const PageRef& ref) const;
};

struct FaultPlan {
  std::vector<Fault> faults;
  bool hostile_names = false;

  // The first fault that applies to the request, if any; request counts the
  // requests of this page so far, this one included.
  std::optional<FaultKind> For(const PageRef& ref, int request = 1) const;
};

// Parses a fault list; on a mistake returns false and says what is wrong.
bool ParseFaultPlan(std::string_view text, FaultPlan* plan, std::string* error);

}  // namespace sample_market
