// The region list of the query window and the value each entry stands for in
// a company-search address.
#pragma once

#include <QString>
#include <QStringList>

namespace quenlo {

inline const QString kAllRegions = QStringLiteral("所有省份");
inline const QString kOverseasRegion = QStringLiteral("海外");

// The 41 entries in the order the list shows them.
const QStringList& RegionEntries();

// The region value of an entry: empty for all regions, a two-letter code for
// Taiwan, Macao and Hong Kong, a pre-encoded GBK list for the five groups, and
// the entry itself for everything else. Used as it stands, never encoded again.
QString RegionValue(const QString& entry);

}  // namespace quenlo
