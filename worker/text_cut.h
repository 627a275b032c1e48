// Text cutting for the condensers. Texts are UTF-8; every marker is an exact
// character sequence, so a byte search finds exactly the characters meant.
#pragma once

#include <string>
#include <string_view>

namespace pitrel {

// Cuts source at one occurrence of marker and returns one side, leaving the
// other side in source; the marker itself ends up in neither.
//   fromFront: first occurrence; returns the text before it, source keeps the text after.
//   otherwise: last occurrence; returns the text after it, source keeps the text before.
// A missing (or empty) marker returns empty text and leaves source unchanged.
std::string CutAtMarker(std::string& source, std::string_view marker, bool fromFront);

bool Contains(std::string_view text, std::string_view part);
bool StartsWith(std::string_view text, std::string_view prefix);

// Removes spaces (U+0020 only) at both ends.
std::string Trim(std::string_view text);

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);
std::string RemoveAll(std::string_view text, std::string_view part);

}  // namespace pitrel
