// In-grid editing of the address list: an edit box laid over the current
// cell; a changed text goes into the cell and into 地址表 when the edit ends.
#pragma once

#include <QString>
#include <functional>

#include "browser/grid_model.h"

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
// Column of the member name, the key of every update.
inline constexpr int kMemberColumn = 1;

class CellEditor {
 public:
  // Starts editing the grid's current cell (nothing on an empty grid).
  void CellEditBegin(GridModel& grid, CellEditBox& box);
  // Ends an edit in progress: a changed text goes into the cell and the table.
  void CellEditCommit(CellEditBox& box);
  // Writes the edited cell to 地址表, keyed by the member name the row had
  // when the edit began. Returns false (after telling the user) when it fails.
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
