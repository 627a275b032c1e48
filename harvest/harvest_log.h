// The harvest log, for a user who wants to look later: a line for every
// harvest run and one for each page that failed for good, with why. It is
// quenlo-harvest.log in the record base's folder, or in quenlo's cache folder
// when that one cannot be written. Kept small: a log past 256 KiB becomes
// quenlo-harvest.log.1 (replacing the one before) before a run is added, and
// one run adds at most 1000 page lines.
#pragma once

#include "harvest/harvest_tally.h"

#include <QDateTime>
#include <QString>

namespace quenlo {

inline constexpr char kHarvestLogName[] = "quenlo-harvest.log";
inline constexpr qint64 kHarvestLogLimit = 256 * 1024;
inline constexpr int kHarvestLogPagesPerRun = 1000;

// Where the log goes now.
QString HarvestLogPath();

// Adds a run of the harvest named (members, contacts, profiles) to the log.
// Returns the log's path, or an empty text when it could not be written.
QString LogHarvest(const QString& harvest, const HarvestTally& tally,
                   const QDateTime& at = QDateTime::currentDateTime());

}  // namespace quenlo
