// Percent-encoding of URLs before they go on the wire or into mark-up.
// Non-ASCII characters are written as %XX of their bytes: in the query as
// GB18030 (the marketplace is a GBK site and its own pre-encoded query values
// are GBK), everywhere else as UTF-8. Existing %XX sequences stay as they are.
#pragma once

#include <string>
#include <string_view>

namespace pitrel {

enum class UrlPart { kPath, kQuery, kFragment };

// Appends text (UTF-8) to out, percent-encoding what the part may not hold raw:
// non-ASCII, controls, space and the characters browsers escape in that part.
void AppendPercentEncoded(std::string& out, std::string_view text, UrlPart part);

// The URL as it is sent: surrounding blanks dropped, each part encoded as above.
std::string EncodeRequestUrl(std::string_view url);

// Every %XX escape turned back into its byte; a '%' without two hex digits stays.
std::string PercentDecoded(std::string_view text);

}  // namespace pitrel
