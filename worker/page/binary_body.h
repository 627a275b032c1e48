// Telling a page from binary data (an image, an archive, random bytes sent
// in a page's place) by its first bytes, as browsers sniff a body before they
// show it as text.
#pragma once

#include <string_view>

namespace pitrel {

// True when the first 1445 bytes hold a byte no text file holds (the
// controls other than tab, line breaks, form feed and escape). A body that
// opens with a UTF-16 byte order mark is text whatever follows.
bool IsBinaryBody(std::string_view body);

}  // namespace pitrel
