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

// What a walk over a parsed body tells (see WalkTree in tree_walk.h).
class BodyVisitor {
 public:
  virtual ~BodyVisitor() = default;
  virtual bool Enter(const GumboNode& element) = 0;
  virtual void Leave(const GumboNode& element) = 0;
  virtual void Other(const GumboNode& node, const GumboNode& parent, unsigned index) = 0;
};

// The walk over the body of a plainly written page, told to visitor
// straight from the mark-up, without building the tree: the same calls in
// the same order as WalkTree over QuickParseBody's tree. The nodes live only
// for the call they are handed to; elements have their attributes only in
// Enter, and Other gets 0 for an index (a visitor that looks at siblings
// needs the tree). False, after some calls, when the page is not plainly
// written: what the visitor gathered is then to be thrown away.
bool QuickWalkBody(std::string_view utf8, BodyVisitor& visitor);

}  // namespace pitrel
