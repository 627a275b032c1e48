// The sample marketplace's members as the contact harvest stores them in
// 地址表: every shape of value its pages give (both contact forms, the
// mark-up form's telephone without its leading zero, full-width postcodes,
// several web addresses). For the export tests and the export benchmark.
#pragma once

#include <QString>
#include <QStringList>

#include "tools/sample_market/catalogue.h"

namespace quenlo::testing {

// The stored fields of member m, by column name (AName, CName, … CUrl).
QString StoredContactField(const sample_market::Member& m, const QString& column);

// Stores members 1..count of the catalogue (seed 1) in the current record
// base, in one transaction. False when a statement fails.
bool StoreSampleContacts(int count);

}  // namespace quenlo::testing
