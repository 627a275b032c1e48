// The address list's two header rows (field names, captions) on a grid with
// no data rows: what the table export needs when no window has filled a grid.
#pragma once

namespace quenlo {

class GridModel;

// Twelve columns: the row number ("序号") and the eleven fields of 地址表;
// row 0 (hidden) the field names, row 1 the captions; Tag "地址表".
void SetUpAddressListHeader(GridModel& grid);

}  // namespace quenlo
