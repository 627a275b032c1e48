// The member-name harvest: pages through the company search for a keyword
// and region and inserts every member name found into both tables; at the
// end only the oldest row of each name is left.
#pragma once

#include "harvest/harvest_hooks.h"

#include <QString>

namespace quenlo {

class StoreFailures;

inline const QString kMemberHarvestCaption = QStringLiteral("正在下载阿里会员联系方式……");
inline const QString kMemberStartCaption = QStringLiteral("下载阿里会员名");
inline const QString kMemberStopCaption = QStringLiteral("中止会员下载");

// The result file of a search page (page 1's is named as page 0).
QString SearchPageResultFile(int page);

// The number a text starts with (blanks skipped, optional sign, digits);
// 0 when there is none. Large values are capped at the int range.
int LeadingWholeNumber(const QString& text);

// Pages of 40 hits, rounded up; none for hits of 0 or less.
int SearchPageCount(int hits);

// Inserts the member names of one page's result (every line after the hit
// count) into both tables. Names that are not safe to use are skipped.
// Returns how many names were stored.
int StoreMemberNames(const QString& resultText, StoreFailures& failures);

struct MemberHarvestOutcome {
  HarvestEnd end = HarvestEnd::Finished;
  int pages = 0;        // pages of the search (0 when the first page had no hits)
  int namesStored = 0;  // lines stored during this harvest, repeats included
  int storeFailures = 0;  // results that could not be stored (database locked, disk full)
};

// An empty keyword (a cancelled query) fetches nothing but still removes
// repeats and restores the running indicator.
MemberHarvestOutcome HarvestMemberNames(const QString& keyword, const QString& regionValue,
                                        HarvestHooks& hooks);

}  // namespace quenlo
