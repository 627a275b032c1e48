// GB18030 to UTF-8 and back from tables the build makes with the system's
// iconv: the same conversion as iconv, without loading iconv's converter
// module into every worker (about half a millisecond of each one's start).
#pragma once

#include <string>
#include <string_view>

namespace pitrel {

// Appends the UTF-8 of GB18030 bytes. A byte that starts no character it
// converts becomes U+FFFD (the lone 0x80 that GBK pages use for the euro
// sign becomes the euro sign) and reading goes on with the next byte.
void AppendGb18030AsUtf8(std::string_view bytes, std::string& out);

// Appends the GB18030 bytes of valid UTF-8 text; a character GB18030 cannot
// hold becomes '?'.
void AppendUtf8AsGb18030(std::string_view valid_utf8, std::string& out);

}  // namespace pitrel
