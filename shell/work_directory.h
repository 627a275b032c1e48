// The directory where quenlo and its pitrel workers exchange result files.
// Each quenlo process works in a folder of its own inside it ("run-" and its
// process number), made its current directory at start, so the relative
// result-file names of its workers land there and nowhere else: two quenlo
// processes never read or delete each other's results.
#pragma once

#include <QString>

namespace quenlo {

inline constexpr char kWorkDirEnv[] = "QUENLO_WORK_DIR";

// $QUENLO_WORK_DIR when set; otherwise quenlo/work in the user's runtime
// directory ($XDG_RUNTIME_DIR, a tmpfs on desktops) where there is one the
// user owns, else in the user's cache directory. A result file lives for
// one page: hundreds made and deleted a second on a disk file system make
// its inode allocator the slowest step of a harvest, while in memory they
// cost next to nothing.
QString WorkDirectory();

// Where what must outlive a restart of the machine is kept (the notes of
// unfinished exports): $QUENLO_WORK_DIR when set, otherwise quenlo/work in
// the user's cache directory.
QString LastingWorkDirectory();

// Creates the work directory and this process's folder in it, checks that
// files can be written there and makes the folder current. Folders left by
// processes that have ended are cleared on the way (in the lasting work
// directory too, where runs worked before there was a runtime directory).
bool EnterWorkDirectory(QString* error);
// Deletes this process's result files and its folder, and steps out of it.
void LeaveWorkDirectory();

// Where workbook exports note their temporary files while they write them
// (export/unfinished_exports.h): "exports" in the lasting work directory.
QString ExportNotesFolder();

// Settings given as relative paths in the environment (QUENLO_DATA_DIR,
// QUENLO_PITREL) are made absolute against the directory quenlo was started
// in, before it moves to its work directory.
void AnchorPathVariables();

// Whether a name is one a worker writes: a search page's or a member's result
// file (worker/protocol.h) or its temporary and trade-credit companions,
// which share the prefix.
bool IsResultFileName(const QString& fileName);

// Deletes the left-over result files in dir; other files stay. Failures are
// ignored. Returns how many were deleted.
int RemoveLeftoverResultFiles(const QString& dir);

}  // namespace quenlo
