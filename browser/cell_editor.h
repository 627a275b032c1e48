// In-grid editing of the address list: an edit box laid over the current
// cell; a changed text goes into the cell and into 地址表 when the edit ends,
// unless the user cancels it (Esc). A new member name renames the member in
// both tables.
#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "browser/grid_model.h"
#include "browser/record_list.h"
#include "browser/undo_history.h"

namespace quenlo {

// The single-line box the user types into (a QLineEdit over the grid view).
class CellEditBox {
 public:
  virtual ~CellEditBox() = default;
  // Places the box at offsets in twips from the grid's top-left corner.
  virtual void PlaceTwips(int left, int top, int width, int height) = 0;
  virtual void ShowFocused() = 0;
  virtual void Hide() = 0;
  virtual bool IsShown() const = 0;
  virtual QString Text() const = 0;
  virtual void SetText(const QString& text) = 0;
};

// Column of the web address; a double-click there also opens the contact page.
inline constexpr int kWebAddressColumn = 11;

class CellEditor {
 public:
  // Starts editing the grid's current cell (nothing on an empty grid).
  void CellEditBegin(GridModel& grid, CellEditBox& box);
  // Ends an edit in progress: a changed text goes into the cell and the
  // table. Returns the change once it is saved.
  std::optional<CellChange> CellEditCommit(CellEditBox& box);
  // Ends an edit in progress without a change.
  void CellEditCancel(CellEditBox& box);
  // Writes the edited cell to 地址表, keyed by the member name the row had
  // when the edit began; the member-name column renames the member in both
  // tables. Returns false (after telling the user) when it fails or the new
  // name is refused.
  bool CellEditSave();

  // A double-click on the grid: on a data row, opens the member's contact
  // page (through openContactPage) for the web-address column, then edits.
  void GridDoubleClick(GridModel& grid, CellEditBox& box,
                       const std::function<void(const QString& member)>& openContactPage);

 private:
  GridModel* grid_ = nullptr;
  int row_ = 0;
  int col_ = 0;
  QString member_;  // the row's member name when the edit began
};

}  // namespace quenlo
