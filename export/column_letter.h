// Spreadsheet column letters: 1 is A, 26 Z, 27 AA, 702 ZZ.
#pragma once

#include <QString>

namespace quenlo {

// The letters of sheet column n (counted from 1). Two letters at most, so n
// runs from 1 to 702; outside that range the result is empty.
QString ColumnLetter(int n);

}  // namespace quenlo
