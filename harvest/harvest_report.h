// How the window reports the end of a harvest: the pages read, retried and
// failed for good after the harvest's own count in the status label, and a
// message naming the pages that failed and where the log lists them all.
// (The command line prints the same in English: harvest_cli.cpp.)
#pragma once

#include "harvest/harvest_tally.h"

#include <QString>

namespace quenlo {

inline constexpr int kFailuresShownInWindow = 10;

// "读取 12 页，重试 3 页，失败 1 页".
QString TallyText(const HarvestTally& tally);

// The message about pages that failed for good; empty when none did.
QString FailedPagesMessage(const HarvestTally& tally, const QString& logPath);

}  // namespace quenlo
