// Member names as the harvests use them: the safe-name rule (kept with the
// store, which refuses unsafe names too) and the result file of a member.
#pragma once

#include <QString>

#include "store/member_name.h"

namespace quenlo {

// The result-file name of a member's contact or profile page. The caller has
// checked the name with IsSafeMemberName.
QString MemberResultFile(const QString& member);

}  // namespace quenlo
