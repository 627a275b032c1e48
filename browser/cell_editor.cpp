#include "browser/cell_editor.h"

#include "browser/grid_operations.h"
#include "ports/messenger.h"
#include "store/database.h"
#include "store/member_rows.h"

namespace quenlo {

namespace {
// The box is a little wider than its cell so that it covers the grid line.
constexpr int kBoxExtraWidthTwips = 10;
}  // namespace

void CellEditor::CellEditBegin(GridModel& grid, CellEditBox& box) {
  if (grid.Rows() <= grid.FixedRows() || grid.FixedCols() >= grid.Cols()) return;
  box.PlaceTwips(GridCellLeft(grid, grid.Col()), GridCellTop(grid, grid.Row()),
                 grid.ColWidth(grid.Col()) + kBoxExtraWidthTwips, grid.RowHeight(grid.Row()));
  row_ = grid.Row();
  col_ = grid.Col();
  member_ = grid.TextMatrix(row_, kMemberColumn);
  box.ShowFocused();
  box.SetText(grid.TextMatrix(row_, col_));
  grid_ = &grid;
}

std::optional<CellChange> CellEditor::CellEditCommit(CellEditBox& box) {
  if (!box.IsShown()) return std::nullopt;
  // Hidden first: a message box below takes the focus, which commits again.
  box.Hide();
  if (grid_ == nullptr) return std::nullopt;
  const QString before = grid_->TextMatrix(row_, col_);
  const QString text = box.Text();
  if (text == before) return std::nullopt;
  grid_->SetTextMatrix(row_, col_, text);
  if (!CellEditSave()) {
    grid_->SetTextMatrix(row_, col_, before);
    return std::nullopt;
  }
  return CellChange{grid_->TextMatrix(0, col_), member_, before, text};
}

void CellEditor::CellEditCancel(CellEditBox& box) {
  if (box.IsShown()) box.Hide();
}

bool CellEditor::CellEditSave() {
  if (grid_ == nullptr) return false;
  const QString field = grid_->TextMatrix(0, col_);
  const QString value = grid_->TextMatrix(row_, col_);
  if (!IsKnownColumn(kContactTable, field)) {
    ShowMessage(QStringLiteral("这一列不能修改。"));
    return false;
  }
  const DbStatus saved = col_ == kMemberColumn
                             ? DbRenameMember(member_, value)
                             : DbExecute(QStringLiteral("UPDATE 地址表 SET ") + field +
                                             QStringLiteral("=? WHERE AName=?"),
                                         {value, member_});
  if (!saved.Ok()) {
    ShowMessage(QStringLiteral("修改没有保存：%1").arg(saved.Message()));
    return false;
  }
  if (col_ == kMemberColumn) member_ = value;
  return true;
}

void CellEditor::GridDoubleClick(GridModel& grid, CellEditBox& box,
                                 const std::function<void(const QString&)>& openContactPage) {
  if (grid.Row() < grid.FixedRows() || grid.Row() >= grid.Rows()) return;
  if (grid.Col() == kWebAddressColumn && openContactPage) {
    openContactPage(grid.TextMatrix(grid.Row(), kMemberColumn));
  }
  CellEditBegin(grid, box);
}

}  // namespace quenlo
