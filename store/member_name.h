// The member name, the key by which both tables are read and updated. It
// comes from web pages and becomes part of file names (the member's result
// file) and addresses, so only names that pass this check are stored, given
// to a member by a rename, or turned into a path.
#pragma once

#include <QString>

namespace quenlo {

inline constexpr int kMaxMemberNameLength = 64;

// A short printable ASCII text without blanks, path separators, characters
// that file systems reject, or "..".
bool IsSafeMemberName(const QString& name);

}  // namespace quenlo
