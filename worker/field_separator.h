// Joins the fields of the contact, profile and trade-credit results; quenlo
// splits them there.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pitrel {

inline constexpr std::string_view kFieldSeparator = "〗★〖";

inline std::string JoinFields(const std::vector<std::string>& fields) {
  std::string out;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out.append(kFieldSeparator);
    out.append(fields[i]);
  }
  return out;
}

}  // namespace pitrel
