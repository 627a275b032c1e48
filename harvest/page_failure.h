// quenlo's side of the worker's failure companion (worker/protocol.h,
// "Failures"): what went wrong with a page, read from beside its result.
#pragma once

#include "worker/protocol.h"

#include <QString>
#include <optional>

namespace quenlo {

// The companion of resultFile (resultFile + ".fail"), deleted once read.
// Nothing when there is none; a companion that cannot be read or names no
// known kind counts as a transient failure.
std::optional<pitrel::PageFailure> TakePageFailure(const QString& resultFile);

// Deletes what a worker may have left under a result-file name: the result,
// its companion and their temporary files.
void RemoveWorkerFiles(const QString& resultFile);

}  // namespace quenlo
