// How much of a page the worker parses. The parser's time grows with the
// square of the nesting depth, and its memory with the number of nodes: an
// element, an attribute, a comment or a run of text costs it a couple of
// hundred bytes however short it is written, so 8 MB of "<b>z</b>" took a
// worker over 400 MB. A page is parsed up to where either would pass what
// any real page needs; the rest is dropped, as if the page ended there.
// Pages within both bounds are parsed whole and untouched.
#pragma once

#include <cstddef>
#include <string_view>

namespace pitrel {

// Elements open at once; no real page comes near this many.
inline constexpr int kMaxOpenElements = 20'000;
// What the parse of one page may cost, as estimated from the mark-up. The
// estimate errs high, so the tree itself stays below it.
inline constexpr std::size_t kParseBudgetBytes = 32u << 20;

// Where the UTF-8 text must end for its parse to stay within both bounds,
// or npos when it may be parsed whole.
std::size_t ParseCutPoint(std::string_view text);

}  // namespace pitrel
