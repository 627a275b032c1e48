#include "store/member_name.h"

namespace quenlo {

bool IsSafeMemberName(const QString& name) {
  if (name.isEmpty() || name.size() > kMaxMemberNameLength) return false;
  if (name.contains(QStringLiteral(".."))) return false;
  static const QString kRejected = QStringLiteral("/\\:*?\"<>|");
  for (QChar c : name) {
    const char16_t u = c.unicode();
    if (u < 0x21 || u > 0x7E || kRejected.contains(c)) return false;
  }
  return true;
}

}  // namespace quenlo
