// The body's rendered text (innerText) as the old browser gave it: the
// standard algorithm with default display values per element, except that
// every table cell's text is followed by exactly one space (never collapsed or
// trimmed), every table row ends with a line break, line breaks are CR LF and
// U+00A0 stays as it is. Linear in the tree, no recursion.
#pragma once

#include <gumbo.h>

#include <string>

namespace pitrel {

class HtmlDocument;

// The rendered text of body, UTF-8 with CR LF line breaks; empty for a null body.
std::string BodyInnerText(const GumboNode* body);

// The rendered text of a page's body. A plainly written page whose tree is
// not built yet gives it straight from its mark-up; the result is the same.
std::string PageInnerText(const HtmlDocument& document);

}  // namespace pitrel
