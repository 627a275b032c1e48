// Flag 2: a member's company-profile page becomes one line: "公司主页", the
// values of sixteen labelled facts and the introduction, joined by the field
// separator; or "公司黄页" and one separator for a member with only a
// directory entry.
#pragma once

#include <string>
#include <string_view>

namespace pitrel {

// Reads the body text only; the mark-up is accepted and not used.
std::string CondenseProfile(std::string_view text, std::string_view html);

}  // namespace pitrel
