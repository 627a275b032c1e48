// The address list: the record grid showing 地址表, whole or filtered on one
// field, and the deletion of the rows selected in it.
#pragma once

#include <QString>
#include <QStringList>

#include "browser/grid_model.h"
#include "browser/record_list.h"
#include "browser/text_measure.h"
#include "browser/undo_history.h"

namespace quenlo {

// 地址表 with its twelve grid columns.
const RecordList& AddressList();
// The grid columns of the address list; index 0 is the row-number column.
const QStringList& AddressFieldNames();
const QStringList& AddressCaptions();
// Entries of the search-field box, "01:会员编号" … "11:网址".
QStringList AddressSearchEntries();

// "共" + data rows + "条记录", the text of the main window's count label.
QString AddressCountText(const GridModel& grid);

// Reloads 地址表 into the grid ordered by ID; when both entry ("02:公司名称")
// and keyword are given, only the rows whose field of that column contains
// the keyword literally.
void RefreshAddressList(GridModel& grid, const QString& entry, const QString& keyword,
                        const TextMeasure& measure);

// Deletes the members of the selected grid rows (current row to RowSel) from
// 地址表 and the rows from the grid, after asking. A failing DELETE is
// reported once and ends the deletion; the grid then loses only the rows
// whose members were deleted. What went is kept in *deleted (when given) so
// that it can be put back. Returns false when nothing was asked or the user
// declined.
bool DeleteAddressRows(GridModel& grid, RowDeletion* deleted = nullptr);

}  // namespace quenlo
