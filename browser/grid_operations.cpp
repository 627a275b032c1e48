#include "browser/grid_operations.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "browser/cell_format.h"
#include "ports/messenger.h"
#include "ports/progress_sink.h"
#include "store/database.h"

namespace quenlo {

namespace {

const QString kOpeningCaption = QStringLiteral("正在打开数据库……");
const QString kFittingCaption = QStringLiteral("正在做交易数据表格进行格式设置……");
const QString kPages = QStringLiteral("pages");
const QString kColorField = QStringLiteral("Color");

// RGB(1,1,1): a stored colour of 0 is shown as near-black.
constexpr quint32 kZeroColorSubstitute = 65793;
// Room the fit leaves right of the columns.
constexpr int kFitMargin = 400;

int FirstScrolledRow(const GridModel& grid) { return std::max(grid.TopRow(), grid.FixedRows()); }
int FirstScrolledCol(const GridModel& grid) { return std::max(grid.LeftCol(), grid.FixedCols()); }

QString BuildSelect(const GridModel& grid, const QString& where, const QString& order) {
  const QString tag = grid.Tag();
  if (tag.contains(QLatin1Char(' '))) return tag;  // a whole program-built statement
  if (!IsKnownTable(tag)) return {};
  QString sql = QStringLiteral("SELECT * FROM ") + tag;
  if (!where.isEmpty()) sql += QStringLiteral(" WHERE ") + where;
  if (!order.isEmpty()) sql += QStringLiteral(" ORDER BY ") + order;
  return sql;
}

// How one column of a fill gets its cell, decided once from its field name.
struct ColumnSource {
  enum Kind { kNothing, kRowNumber, kColor, kLookup, kField } kind = kNothing;
  int field = -1;      // recordset index of the field read
  QStringList lookup;  // table, key column, result field
};

std::vector<ColumnSource> ResolveColumns(const GridModel& grid, const Recordset& records) {
  std::vector<ColumnSource> sources(static_cast<size_t>(grid.Cols()));
  for (int i = 0; i < grid.Cols(); ++i) {
    const QString name = grid.TextMatrix(0, i);
    ColumnSource& source = sources[i];
    if (name.isEmpty()) {
      if (i == grid.FixedCols() - 1) source.kind = ColumnSource::kRowNumber;
    } else if (name == kColorField) {
      source = {ColumnSource::kColor, records.FieldIndex(name), {}};
    } else if (name.contains(QLatin1Char(':'))) {
      const QStringList parts = name.split(QLatin1Char(':'));
      if (parts.size() >= 4) {
        source = {ColumnSource::kLookup, records.FieldIndex(parts[0]), parts.mid(1, 3)};
      }
    } else {
      source = {ColumnSource::kField, records.FieldIndex(name), {}};
    }
  }
  return sources;
}

// A lookup that cannot be made is shown, and its cell reads empty.
QVariant LookedUpValue(const Recordset& records, const ColumnSource& source) {
  QVariant value;
  const DbStatus found = DbLookup(source.lookup[0], records.Value(source.field), source.lookup[1],
                                  source.lookup[2], &value);
  if (!found.Ok()) ShowMessage(found.Message());
  return value;
}

void FillRow(GridModel& grid, int r, const Recordset& records,
             const std::vector<ColumnSource>& sources) {
  for (int i = 0; i < grid.Cols(); ++i) {
    const ColumnSource& source = sources[i];
    switch (source.kind) {
      case ColumnSource::kNothing:
        break;
      case ColumnSource::kRowNumber:
        grid.SetTextMatrix(r, i, QString::number(grid.Rows() - 2));
        break;
      case ColumnSource::kColor: {
        const quint32 color = records.Value(source.field).toUInt();
        grid.SetRow(r);
        grid.SetCol(i);
        grid.SetCellBackColor(r, i, color == 0 ? kZeroColorSubstitute : color);
        break;
      }
      case ColumnSource::kLookup:
        grid.SetTextMatrix(r, i, FormatCellValue(LookedUpValue(records, source)));
        break;
      case ColumnSource::kField:
        grid.SetTextMatrix(r, i, FormatCellValue(records.Value(source.field)));
        break;
    }
  }
}

// Steps 2 to 8 of a fill. A field the records lack throws and ends the fill,
// leaving the rows so far; a base that cannot be read is shown.
void FillFromDatabase(GridModel& grid, const QString& sql, const QVariantList& params,
                      Connection& connection, Recordset& records) {
  if (sql.isEmpty()) return;
  if (const DbStatus opened = DbOpenRecordset(connection, records, sql, params); !opened.Ok()) {
    return ShowMessage(opened.Message());
  }
  const int count = std::min(GridRowCap(grid.Cols()), records.RecordCount());
  ProgressBegin(kOpeningCaption, records.RecordCount() + 1);
  const std::vector<ColumnSource> sources = ResolveColumns(grid, records);
  for (int n = 0; n < count && !records.Eof(); ++n) {
    grid.SetRows(grid.Rows() + 1);
    FillRow(grid, grid.Rows() - 1, records, sources);
    records.MoveNext();
    ProgressStep(1, kPages);
  }
}

double WidestText(const TextMeasure& measure, const GridModel& grid, int firstRow, int col) {
  double widest = 0;
  for (int r = firstRow; r < grid.Rows(); ++r) {
    const QString text = grid.TextMatrix(r, col);
    if (!text.isEmpty()) widest = std::max(widest, measure.WidthTwips(text));
  }
  return widest;
}

}  // namespace

int GridRowCap(int columns) {
  if (columns <= 0) return 0;
  return static_cast<int>(std::nearbyint(350000.0 / columns - 0.5)) - 2;
}

void GridSetupColumns(GridModel& grid, const QStringList& fieldNames, const QStringList& captions) {
  if (fieldNames.size() != captions.size() || fieldNames.isEmpty()) return;
  const int n = static_cast<int>(fieldNames.size()) - 1;
  grid.SetVisible(false);
  grid.SetCols(n + 1);
  grid.SetFixedCols(2);
  grid.SetRows(3);
  grid.SetFixedRows(2);
  grid.SetRows(2);
  for (int r = 0; r < grid.FixedRows() - 1; ++r) grid.SetRowHeight(r, 0);
  for (int i = 0; i <= n; ++i) {
    grid.SetTextMatrix(0, i, fieldNames[i]);
    grid.SetTextMatrix(1, i, captions[i]);
    grid.SetColAlignment(i, 0);
  }
  grid.SetColAlignment(1, 2);
  grid.SetVisible(true);
}

void GridLoadTable(GridModel& grid, const QString& where, const QString& order,
                   const TextMeasure& measure, const QVariantList& params) {
  ProgressBegin(kOpeningCaption, 1);
  grid.SetVisible(false);
  grid.SetRows(2);
  Connection connection;
  Recordset records;
  try {
    FillFromDatabase(grid, BuildSelect(grid, where, order), params, connection, records);
  } catch (const std::exception&) {
    // The fill ends here; the rows loaded so far stay and the grid is shown.
  }
  DbCloseRecordset(connection, records);
  GridAutoFitColumns(measure, grid, 2, true);
  grid.SetVisible(true);
  ProgressEnd();
}

void GridAutoFitColumns(const TextMeasure& measure, GridModel& grid, int firstRow,
                        bool showProgress) {
  const bool progress = grid.Rows() > 200 && showProgress;
  if (progress) ProgressBegin(kFittingCaption, grid.Cols());
  if (grid.FixedRows() >= grid.Rows()) firstRow = 0;
  const double halfWidth = grid.Width() / 2.0;
  double total = 0;
  for (int j = 0; j < grid.Cols(); ++j) {
    double w = 0;
    if (j >= grid.FixedCols() - 1) {
      w = WidestText(measure, grid, firstRow, j);
      if (w != 0 && grid.FixedRows() > 0) {
        w = std::max(w, measure.WidthTwips(grid.TextMatrix(grid.FixedRows() - 1, j)));
      }
      w = w != 0 ? w + 100 : 50;
      w = std::min(w, halfWidth);
    }
    grid.SetColWidth(j, static_cast<int>(std::lround(w)));
    total += w;
    if (progress) ProgressStep(1, kPages);
  }
  const int last = grid.Cols() - 1;
  if (last >= 0 && grid.Width() - kFitMargin > total) {
    const double lastWidth = (grid.Width() - kFitMargin) - (total - grid.ColWidth(last));
    grid.SetColWidth(last, static_cast<int>(std::lround(lastWidth)));
  }
  if (progress) ProgressEnd();
}

void GridHeaderClick(const TextMeasure& measure, GridModel& grid, float x, float y) {
  int headerHeight = 0;
  for (int r = 0; r < grid.FixedRows(); ++r) headerHeight += grid.RowHeight(r);
  if (y >= headerHeight) return;
  int s = 0;
  for (int c = 0; c < grid.FixedCols(); ++c) s += grid.ColWidth(c);
  if (x <= s) {
    GridAutoFitColumns(measure, grid, 2, true);
    return;
  }
  for (int i = FirstScrolledCol(grid); i < grid.Cols(); ++i) {
    s += grid.ColWidth(i);
    if (x < s) {
      GridSortByColumn(grid, i);
      return;
    }
  }
}

QString CaptionWithoutSortMark(QString caption) {
  return caption.remove(kSortMarkUp).remove(kSortMarkDown);
}

void GridSortByColumn(GridModel& grid, int k) {
  if (k < 0 || k >= grid.Cols() || grid.FixedRows() < 1) return;
  const int captionRow = grid.FixedRows() - 1;
  const QString caption = grid.TextMatrix(captionRow, k);
  const bool lastIsUp = caption.endsWith(kSortMarkUp);
  GridSortSetting setting;
  if (grid.ColAlignment(k) >= 4) {
    setting = lastIsUp ? kSortNumericDescending : kSortNumericAscending;
  } else {
    setting = lastIsUp ? kSortTextAscending : kSortTextDescending;
  }
  for (int c = grid.FixedCols(); c < grid.Cols(); ++c) {
    grid.SetTextMatrix(captionRow, c, CaptionWithoutSortMark(grid.TextMatrix(captionRow, c)));
  }
  grid.SetCol(k);
  grid.Sort(setting);
  const bool markDown = setting == kSortTextAscending || setting == kSortNumericDescending;
  grid.SetTextMatrix(captionRow, k,
                     grid.TextMatrix(captionRow, k) + (markDown ? kSortMarkDown : kSortMarkUp));
  GridRenumberRows(grid);
}

void GridRenumberRows(GridModel& grid) {
  const int numberCol = grid.FixedCols() - 1;
  for (int i = grid.FixedRows(); i < grid.Rows(); ++i) {
    grid.SetTextMatrix(i, numberCol, QString::number(i - grid.FixedRows() + 1));
  }
}

void GridDeleteRows(GridModel& grid, int& first, int& last, bool ask) {
  if (GridDataRowCount(grid) <= 0) return;
  OrderPair(last, first);
  first = std::max(first, grid.FixedRows());
  last = std::min(last, grid.Rows() - 1);
  const int n = last - first + 1;
  if (n <= 0) return;
  if (ask) {
    const QString question = QStringLiteral("您确定要删除第%1至第%2行？")
                                 .arg(first - grid.FixedRows() + 1)
                                 .arg(last - grid.FixedRows() + 1);
    if (!AskYesNo(question)) return;
  }
  grid.RemoveRows(first, n, grid.FixedCols() - 1);
}

void OrderPair(int& a, int& b) {
  if (a < b) std::swap(a, b);
}

int GridCellLeft(const GridModel& grid, int k) {
  int left = 0;
  for (int c = 0; c < std::min(grid.FixedCols(), k); ++c) left += grid.ColWidth(c);
  for (int c = FirstScrolledCol(grid); c < k; ++c) left += grid.ColWidth(c);
  return left;
}

int GridCellTop(const GridModel& grid, int k) {
  int top = 0;
  for (int r = 0; r < std::min(grid.FixedRows(), k); ++r) top += grid.RowHeight(r);
  for (int r = FirstScrolledRow(grid); r < k; ++r) top += grid.RowHeight(r);
  return top;
}

int GridDataRowCount(const GridModel& grid) { return grid.Rows() - grid.FixedRows(); }

}  // namespace quenlo
