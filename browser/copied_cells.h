// The selected cells of the grid as text a spreadsheet pastes into cells:
// tab-separated, one line per row, the column captions (without sort marks)
// first.
#pragma once

#include <QString>

#include "browser/grid_model.h"

namespace quenlo {

// A block of grid cells, rows top..bottom and columns left..right, inclusive.
struct CellBlock {
  int top = 0;
  int bottom = -1;
  int left = 0;
  int right = -1;
};

// The block as tab-separated lines ending in "\n". A cell holding a tab, a
// line break or a double quote stands in double quotes, its quotes doubled,
// as spreadsheets read it back. Empty for an empty block.
QString CopiedCellsText(const GridModel& grid, const CellBlock& block);

}  // namespace quenlo
