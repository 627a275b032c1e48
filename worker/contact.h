// Flag 1: a member's contact page becomes one line of ten fields joined by
// the field separator: address, company name, web address, postcode, fax,
// mobile, telephone, job title, sex, contact name. Apostrophes become "’".
#pragma once

#include <string>
#include <string_view>

namespace pitrel {

// The marketplace's own page (currentUrl == requestedUrl) is read from its
// text; a page the browser was sent on to (a member's site) from its mark-up.
std::string CondenseContact(std::string_view text, std::string_view html,
                            std::string_view requestedUrl, std::string_view currentUrl);

// Full-width digits "０".."９" become ASCII digits; everything else passes.
std::string FoldWideDigits(std::string_view text);

}  // namespace pitrel
