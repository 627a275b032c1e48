// Results that cannot be kept end a harvest at once, so that nothing more is
// fetched in vain: the record base refuses them (disk full, locked,
// read-only) or the work folder takes no more result files. The user is
// told what failed, and the tally keeps it for the report and the log.
#pragma once

#include "harvest/harvest_tally.h"
#include "store/db_status.h"

#include <QString>

namespace quenlo {

inline const QString kHarvestEndedNote = QStringLiteral("下载已中止，未保存的页面留待下次下载。");

// page: the member's name, or how the search page is shown ("搜索结果第 2 页").
void ReportStoreFailure(HarvestTally& tally, const QString& page, const DbStatus& status);
void ReportWorkFolderFailure(HarvestTally& tally, const QString& folder);

}  // namespace quenlo
