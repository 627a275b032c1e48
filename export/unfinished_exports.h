// A workbook export writes a hidden temporary file beside its target and
// moves it over the target once complete. A quenlo killed midway leaves that
// file behind, anywhere the user exported to; to find it again, each such
// temporary is noted while it exists, in a notes folder that the program
// names at start (the work directory's "exports" folder). A note is named
// after the exporting process ("PID-..."); the next start removes the
// temporaries of processes that have ended, as it clears their run folders.
#pragma once

#include <QString>

namespace quenlo {

// Where notes go from now on; an empty folder notes nothing (tests, tools).
void SetExportNotesFolder(const QString& folder);

// Notes a temporary file; returns the note, to forget once the temporary is
// gone or has become the target (an empty text when none could be written).
QString NoteUnfinishedExport(const QString& temporary);
void ForgetUnfinishedExport(const QString& note);

// Removes the temporaries noted in folder by processes that have ended, and
// their notes. Only hidden plain files are removed. Returns how many.
int ClearUnfinishedExports(const QString& folder);

}  // namespace quenlo
