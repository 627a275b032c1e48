// What a correct worker extracts from a member's pages, computed from the
// catalogue, for tests of the worker and of the harvests. The transformations
// applied here are the ones the pages are built to exercise:
//   contact, both forms  "中国 " removed from the address; "'" becomes "’"
//   contact, own page    values as shown (full-width postcode digits stay)
//   contact, member site telephone: spaces become "-" and leading zeros go
//                        (0571 8888 1234 -> 571-8888-1234); fax: spaces become
//                        "-"; postcode: full-width digits become ASCII; web
//                        address: the links joined by ";"
//   profile              spaces removed, "http://" becomes ";"; a directory
//                        entry gives "公司黄页" and one empty field
//   credit               province and city split as the catalogue holds them
// A search page's member list is its count, then the names of
// ListSearch(catalogue, keyword, page).members (search.h), one a line.
#pragma once

#include "tools/sample_market/catalogue.h"
#include "worker/protocol.h"

#include <string>
#include <string_view>
#include <vector>

namespace sample_market {

// The ten contact fields: address, company, web address, postcode, fax,
// mobile, telephone, job, sex, person.
std::vector<std::string> ExpectedContactFields(const Member& member);

// Eighteen fields for a full profile ("公司主页", the sixteen values, the
// introduction), or {"公司黄页", ""} for a directory entry.
std::vector<std::string> ExpectedProfileFields(const Member& member);

// Seller credit, buyer credit, province, city, signed up, last login.
std::vector<std::string> ExpectedCreditFields(const Member& member);

// The fields joined by the worker protocol's field separator, as they stand.
std::string JoinFields(const std::vector<std::string>& fields);

}  // namespace sample_market
