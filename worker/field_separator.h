// Joins the fields of the contact, profile and trade-credit results; quenlo
// splits them there.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pitrel {

inline constexpr std::string_view kFieldSeparator = "〗★〖";
// What the separator becomes inside a field's own text: a page quoting it
// must not add fields, which quenlo reads by position.
inline constexpr std::string_view kSeparatorInText = "〗☆〖";

inline std::string WithoutSeparator(std::string text) {
  for (std::size_t at = text.find(kFieldSeparator); at != std::string::npos;
       at = text.find(kFieldSeparator, at + kSeparatorInText.size()))
    text.replace(at, kFieldSeparator.size(), kSeparatorInText);
  return text;
}

inline std::string JoinFields(const std::vector<std::string>& fields) {
  std::string out;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out.append(kFieldSeparator);
    out.append(WithoutSeparator(fields[i]));
  }
  return out;
}

}  // namespace pitrel
