// Resolves a link's target against the page's address the way browsers do:
// surrounding blanks stripped, tabs and line breaks removed, dot segments
// resolved, "#x" kept on the page's own path, host lower-cased, default port
// dropped, and what may not stand raw in a URL percent-encoded.
#pragma once

#include <string>
#include <string_view>

namespace pitrel {

// The absolute form of reference against base. A reference with a scheme
// other than a web one (javascript:, mailto:) and a reference that cannot be
// resolved come back stripped but otherwise as written.
std::string ResolveUrl(std::string_view base, std::string_view reference);

}  // namespace pitrel
