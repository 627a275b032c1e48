// Character references ("&amp;", "&#20013;") as a plainly written page uses
// them. The full HTML parser knows some two thousand names, and reads a few
// of them even without their semicolon; a reference outside the plain set is
// left to it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace pitrel {

// Decodes the reference at s[at] == '&' into out and returns the index after
// it; a '&' that starts no reference is itself. nullopt (out untouched) for a
// reference only the full parser can read the way it reads it: a name not in
// the plain set, a name it also reads without a semicolon, a code point it
// would replace or remap.
std::optional<std::size_t> DecodePlainReference(std::string_view s, std::size_t at,
                                                std::string& out);

}  // namespace pitrel
