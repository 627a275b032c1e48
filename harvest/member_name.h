// Member names come from web pages and become parts of file names (the
// member's result file) and addresses. Only names that pass this check are stored
// or turned into a path.
#pragma once

#include <QString>

namespace quenlo {

inline constexpr int kMaxMemberNameLength = 64;

// A short printable ASCII text without blanks, path separators, characters
// that file systems reject, or "..".
bool IsSafeMemberName(const QString& name);

// The result-file name of a member's contact or profile page. The caller has
// checked the name with IsSafeMemberName.
QString MemberResultFile(const QString& member);

}  // namespace quenlo
