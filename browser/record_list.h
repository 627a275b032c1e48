// A list the record grid shows: a table of the record base, the grid columns
// that show its fields under their captions, and the search on one of them.
// The address list (地址表) and the profile list (介绍表) are the two.
#pragma once

#include <QString>
#include <QStringList>

#include "browser/grid_model.h"
#include "browser/text_measure.h"

namespace quenlo {

struct RecordList {
  QString table;
  QStringList fields;    // one per grid column; index 0 is the row-number column
  QStringList captions;  // the same columns' captions, "序号" first
};

// Column of the member name in both lists, the key that links them.
inline constexpr int kMemberColumn = 1;

// Entries of a search-field box, "01:" + the caption of column 1, and so on.
QStringList SearchEntries(const RecordList& list);

// "共" + data rows + "条记录", the text of the main window's count label.
QString RecordCountText(const GridModel& grid);

// Reloads the list's table into the grid ordered by ID; when both entry
// ("02:公司名称") and keyword are given, only the rows whose field of that
// column contains the keyword literally.
void RefreshRecordList(const RecordList& list, GridModel& grid, const QString& entry,
                       const QString& keyword, const TextMeasure& measure);

// The first data row showing the member, or -1.
int FindMemberRow(const GridModel& grid, const QString& member);

// Doubles LIKE's wildcards and the escape character so that text matches as typed
// in "… LIKE ? ESCAPE '\'".
QString EscapeLikePattern(const QString& text);

}  // namespace quenlo
