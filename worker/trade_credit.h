// Flag 3: a member's trade-credit block becomes one line of six fields
// joined by the field separator: seller credit, buyer credit, province,
// city, sign-up time, last login. Empty when the page has no credit block.
#pragma once

#include <string>
#include <string_view>

namespace pitrel {

std::string CondenseTradeCredit(std::string_view text);

}  // namespace pitrel
