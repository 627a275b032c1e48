// The directory where quenlo and its pitrel workers exchange result files.
// quenlo makes it its current directory at start, so the relative result-file
// names of the workers land there and nowhere else.
#pragma once

#include <QString>

namespace quenlo {

inline constexpr char kWorkDirEnv[] = "QUENLO_WORK_DIR";

// $QUENLO_WORK_DIR when set, otherwise quenlo/work in the user's cache directory.
QString WorkDirectory();

// Creates the work directory if needed and makes it current.
bool EnterWorkDirectory(QString* error);

// Whether a name is one a worker writes: a result file ("TempPage_…", "Temp_…")
// or its temporary and trade-credit companions, which share the prefix.
bool IsResultFileName(const QString& fileName);

// Deletes the left-over result files in dir; other files stay. Failures are
// ignored. Returns how many were deleted.
int RemoveLeftoverResultFiles(const QString& dir);

}  // namespace quenlo
