// Conversion between the UTF-8 texts the generator works in and the GBK
// bytes the marketplace serves (written as GB18030, its superset).
#pragma once

#include <string>
#include <string_view>

namespace sample_market {

// UTF-8 -> GB18030 bytes. Characters that cannot be encoded become '?'.
std::string ToGbk(std::string_view utf8);

// GB18030 bytes -> UTF-8. Undecodable bytes become U+FFFD.
std::string FromGbk(std::string_view gbk);

bool IsValidUtf8(std::string_view text);

// Query and path values arrive either as UTF-8 or as GBK escapes; this
// returns UTF-8 either way.
std::string AsUtf8(std::string_view bytes);

// Bytes a UTF-8 text takes once written as GBK (ASCII one, the rest two);
// exact for the characters the pages use.
std::size_t GbkSize(std::string_view utf8);

}  // namespace sample_market
