// A fast path for plainly written pages. Most pages a worker loads are
// generated mark-up with every element closed in order; for those the full
// HTML parser's tree is simply the nesting as written, and building it
// directly costs a fraction of the full parse. Anything whose tree the full
// parser would shape otherwise (an omitted or stray end tag, mis-nesting,
// text loose in a table, foreign content, an unusual character reference...)
// makes the fast path give up, and the caller parses the page in full.
#pragma once

#include <gumbo.h>

#include <string_view>

namespace pitrel {

class ParseArena;

// The page's <body> built into gumbo's node types inside arena, exactly as
// the full parser would build it, or nullptr when the page is not plainly
// written. The nodes point into utf8, which must outlive them.
const GumboNode* QuickParseBody(std::string_view utf8, ParseArena& arena);

}  // namespace pitrel
