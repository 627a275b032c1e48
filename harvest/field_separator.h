// The separator between the fields of contact and profile results.
#pragma once

#include <QString>

namespace quenlo {

inline const QString kFieldSeparator = QStringLiteral("〗★〖");

}  // namespace quenlo
