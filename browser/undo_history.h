// What the user can take back while the program runs: cell edits and row
// deletions of the address list, newest last, a bounded number of steps
// deep. Undoing a step puts the base back as it was (both tables where both
// were changed) and the grid with it.
#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <variant>
#include <vector>

#include "browser/grid_model.h"
#include "store/db_status.h"
#include "store/member_rows.h"

namespace quenlo {

// One saved cell edit. member is the row's member name after the edit, the
// key that finds it now (the new name when the member name was edited).
struct CellChange {
  QString field;
  QString member;
  QString before;
  QString after;

  bool RenamesMember() const { return field == QLatin1String("AName"); }
};

// Rows deleted from the base and the grid: the stored rows, and the grid
// rows (every cell) that stood from firstRow down.
struct RowDeletion {
  StoredRows stored;
  int firstRow = 0;
  std::vector<QStringList> gridRows;
};

class UndoHistory {
 public:
  static constexpr int kDepth = 100;

  void Record(CellChange change);
  // fillGeneration names the grid's fill the rows were deleted from.
  void Record(RowDeletion deletion, int fillGeneration);
  bool IsEmpty() const { return steps_.empty(); }
  // Whether undoing the newest step gives a member its former name.
  bool NewestRenamesMember() const;

  // Takes back the newest step. A deletion's rows go back into the grid where
  // they stood while the grid still shows the fill they left (fillGeneration
  // unchanged); otherwise *refill is set and the caller fills the grid anew.
  // A step the base refuses stays, so that it can be tried again; the status
  // says why.
  DbStatus UndoLast(GridModel& grid, int fillGeneration, bool* refill);

 private:
  struct Deletion {
    RowDeletion rows;
    int fillGeneration = 0;
  };
  using Step = std::variant<CellChange, Deletion>;
  void Push(Step step);

  std::deque<Step> steps_;
};

}  // namespace quenlo
