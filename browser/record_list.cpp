#include "browser/record_list.h"

#include "browser/grid_operations.h"
#include "store/database.h"

namespace quenlo {
namespace {

// The column of an entry such as "02:公司名称": its leading digits (0 when none).
int EntryColumn(const QString& entry) {
  int digits = 0;
  while (digits < entry.size() && entry[digits].isDigit()) ++digits;
  return entry.left(digits).toInt();
}

// The field a search entry filters on: the grid's field-name row as it stands,
// or the list's own column when the grid shows something else.
QString SearchField(const RecordList& list, const GridModel& grid, int column) {
  const QString shown = grid.TextMatrix(0, column);
  if (IsKnownColumn(list.table, shown)) return shown;
  const QString own = column > 0 ? list.fields.value(column) : QString();
  return IsKnownColumn(list.table, own) ? own : QString();
}

}  // namespace

QStringList SearchEntries(const RecordList& list) {
  QStringList entries;
  for (int i = 1; i < list.captions.size(); ++i) {
    entries << QStringLiteral("%1:%2").arg(i, 2, 10, QLatin1Char('0')).arg(list.captions[i]);
  }
  return entries;
}

QString RecordCountText(const GridModel& grid) {
  return QStringLiteral("共%1条记录").arg(GridDataRowCount(grid));
}

QString EscapeLikePattern(const QString& text) {
  QString escaped = text;
  escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
  escaped.replace(QLatin1Char('%'), QStringLiteral("\\%"));
  escaped.replace(QLatin1Char('_'), QStringLiteral("\\_"));
  return escaped;
}

void RefreshRecordList(const RecordList& list, GridModel& grid, const QString& entry,
                       const QString& keyword, const TextMeasure& measure) {
  QString where;
  QVariantList params;
  bool searchable = true;
  if (!entry.isEmpty() && !keyword.isEmpty()) {
    const QString field = SearchField(list, grid, EntryColumn(entry));
    searchable = !field.isEmpty();
    where = field + QStringLiteral(" LIKE ? ESCAPE '\\'");
    params << QStringLiteral("%") + EscapeLikePattern(keyword) + QStringLiteral("%");
  }
  GridSetupColumns(grid, list.fields, list.captions);
  grid.SetFixedCols(1);
  grid.SetTag(list.table);
  if (searchable) {
    GridLoadTable(grid, where, QStringLiteral("ID ASC"), measure, params);
  } else {
    // An entry naming no column of the table finds nothing.
    GridAutoFitColumns(measure, grid, 2, false);
  }
}

int FindMemberRow(const GridModel& grid, const QString& member) {
  for (int row = grid.FixedRows(); row < grid.Rows(); ++row) {
    if (grid.TextMatrix(row, kMemberColumn) == member) return row;
  }
  return -1;
}

}  // namespace quenlo
