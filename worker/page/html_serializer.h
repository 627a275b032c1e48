// Writes the body's children as mark-up the way the old browser did, which is
// what the condensers cut apart: upper-case tag names, an end tag for every
// non-void element, attribute values unquoted when plain, links absolute, CR LF
// before every block and table start tag, whitespace collapsed in text.
// Runs in time linear in the tree and without recursion (deep pages are safe).
#pragma once

#include <gumbo.h>

#include <string>
#include <string_view>

namespace pitrel {

// The mark-up of body's children; href and src resolved against page_url.
// Empty for a null body.
std::string SerializeBodyHtml(const GumboNode* body, std::string_view page_url);

class HtmlDocument;

// The same for a page: a plainly written page whose tree is not built yet is
// written straight from its mark-up; the result is the same.
std::string PageBodyHtml(const HtmlDocument& document, std::string_view page_url);

}  // namespace pitrel
