#include "browser/undo_history.h"

#include "browser/grid_operations.h"
#include "browser/record_list.h"
#include "store/database.h"

namespace quenlo {
namespace {

DbStatus UndoInBase(const CellChange& change) {
  if (change.RenamesMember()) return DbRenameMember(change.after, change.before);
  if (!IsKnownColumn(kContactTable, change.field))
    return DbStatus::Failed(QStringLiteral("这一列不能修改。"));
  return DbExecute("UPDATE " + kContactTable + " SET " + change.field + "=? WHERE AName=?",
                   {change.before, change.member});
}

int FieldColumn(const GridModel& grid, const QString& field) {
  for (int col = 0; col < grid.Cols(); ++col) {
    if (grid.TextMatrix(0, col) == field) return col;
  }
  return -1;
}

// Every row of the member shows the old value again, as the base does.
void UndoInGrid(const CellChange& change, GridModel& grid) {
  const int col = FieldColumn(grid, change.field);
  if (col < 0) return;
  for (int row = grid.FixedRows(); row < grid.Rows(); ++row) {
    if (grid.TextMatrix(row, kMemberColumn) == change.member)
      grid.SetTextMatrix(row, col, change.before);
  }
}

}  // namespace

void UndoHistory::Push(Step step) {
  steps_.push_back(std::move(step));
  if (steps_.size() > kDepth) steps_.pop_front();
}

bool UndoHistory::NewestRenamesMember() const {
  const auto* change = steps_.empty() ? nullptr : std::get_if<CellChange>(&steps_.back());
  return change != nullptr && change->RenamesMember();
}

void UndoHistory::Record(CellChange change) { Push(std::move(change)); }

void UndoHistory::Record(RowDeletion deletion, int fillGeneration) {
  Push(Deletion{std::move(deletion), fillGeneration});
}

DbStatus UndoHistory::UndoLast(GridModel& grid, int fillGeneration, bool* refill) {
  *refill = false;
  if (steps_.empty()) return {};
  DbStatus undone;
  if (const auto* change = std::get_if<CellChange>(&steps_.back())) {
    undone = UndoInBase(*change);
    if (undone.Ok()) UndoInGrid(*change, grid);
  } else {
    const Deletion& deletion = std::get<Deletion>(steps_.back());
    undone = DbRestoreRows(deletion.rows.stored);
    if (undone.Ok() && deletion.fillGeneration == fillGeneration) {
      grid.InsertRows(deletion.rows.firstRow, deletion.rows.gridRows);
      GridRenumberRows(grid);
    } else if (undone.Ok()) {
      *refill = true;
    }
  }
  if (undone.Ok()) steps_.pop_back();
  return undone;
}

}  // namespace quenlo
