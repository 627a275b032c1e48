// The member-name harvest: pages through the company search for a keyword
// and region and enters every member name found into both tables, where it
// is not there yet. At the end only the oldest row of each name is left
// (rows repeated by older versions go then).
//
// A hostile search page cannot make the base grow without bound: a search
// fetches at most hooks.searchPageCap pages, whatever hit count its first
// page claims, and keeps at most kMaxNamesPerPage names of a page (the
// marketplace lists 40). The user is told when either cut.
#pragma once

#include "harvest/harvest_hooks.h"
#include "harvest/harvest_tally.h"
#include "store/db_status.h"

#include <QString>

namespace quenlo {

inline const QString kMemberHarvestCaption = QStringLiteral("正在下载阿里会员联系方式……");
inline const QString kMemberStartCaption = QStringLiteral("下载阿里会员名");
inline const QString kMemberStopCaption = QStringLiteral("中止会员下载");

inline constexpr int kMaxNamesPerPage = 100;

// The result file of a search page (page 1's is named as page 0).
QString SearchPageResultFile(int page);

// The number a text starts with (blanks skipped, optional sign, digits);
// 0 when there is none. Large values are capped at the int range.
int LeadingWholeNumber(const QString& text);

// Pages of 40 hits, rounded up; none for hits of 0 or less.
int SearchPageCount(int hits);

struct PageNames {
  int stored = 0;    // names now in both tables, those already there included
  bool cut = false;  // the page listed more than kMaxNamesPerPage names
  DbStatus status;   // a failure stores nothing of the page
};

// Enters the member names of one page's result (the lines after the hit
// count, the first kMaxNamesPerPage of them) into each table that does not
// hold them yet, all under one commit. Names not safe to use are skipped.
PageNames StoreMemberNames(const QString& resultText);

struct MemberHarvestOutcome {
  HarvestEnd end = HarvestEnd::Finished;
  int pages = 0;        // pages of the search (0 when the first page had no hits), after the cap
  int namesStored = 0;  // names stored during this harvest, repeats included
  int pagesCut = 0;     // pages that listed more names than were kept
  HarvestTally tally;
};

// An empty keyword (a cancelled query) fetches nothing but still removes
// repeats and restores the running indicator.
MemberHarvestOutcome HarvestMemberNames(const QString& keyword, const QString& regionValue,
                                        HarvestHooks& hooks);

}  // namespace quenlo
