// The members a contact or profile harvest still has to visit.
#pragma once

#include <QString>
#include <QStringList>

namespace quenlo {

// Member names of the rows that selectMembers returns (one AName column), in
// the database's order. Names unfit for a file name are left out: they
// cannot become result files. A base that cannot be read is shown to the
// user and gives no names.
QStringList LoadSafeMembers(const QString& selectMembers);

}  // namespace quenlo
