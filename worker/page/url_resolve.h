// Resolves a link's target against the page's address the way browsers do:
// surrounding blanks stripped, tabs and line breaks removed, dot segments
// resolved, "#x" kept on the page's own path, host lower-cased, default port
// dropped, and what may not stand raw in a URL percent-encoded.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace pitrel {

// The absolute form of reference against base. A reference with a scheme
// other than a web one (javascript:, mailto:) and a reference that cannot be
// resolved come back stripped but otherwise as written.
std::string ResolveUrl(std::string_view base, std::string_view reference);

// ResolveUrl for many references against one page: the page's address is
// read once, and plain links (an http(s) address, or a path from the root,
// with nothing to clean, resolve or encode) are written without being taken
// apart. Each result is the one ResolveUrl gives.
class UrlResolver {
 public:
  explicit UrlResolver(std::string_view base);
  ~UrlResolver();
  std::string Resolve(std::string_view reference) const;

 private:
  struct Base;
  std::optional<std::string> origin_;  // "scheme://host[:port]" of an http(s) page
  std::unique_ptr<const Base> base_;   // nullptr when the page's address has no usable scheme
};

}  // namespace pitrel
