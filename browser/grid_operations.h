// The operations of the record grid: set up its header rows, fill it from a
// table, fit its column widths, sort by a caption click, remove rows, and tell
// the cell editor where a cell lies. They work on any GridModel that keeps the
// layout convention (row 0 field names, row 1 captions, data from row 2, the
// last fixed column numbering the rows, Tag a table name or a whole SELECT).
// Window thread only; long steps report through the active ProgressSink.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

#include "browser/grid_model.h"
#include "browser/text_measure.h"

namespace quenlo {

inline const QString kSortMarkUp = QStringLiteral("△");
inline const QString kSortMarkDown = QStringLiteral("▽");

// A caption without the sort mark a click on it appended.
QString CaptionWithoutSortMark(QString caption);

// Records one fill loads at most: about 350000 cells.
int GridRowCap(int columns);

// Two header rows of fieldNames and captions; nothing when the lists differ in length.
void GridSetupColumns(GridModel& grid, const QStringList& fieldNames, const QStringList& captions);

// Replaces the data rows by the records of the grid's Tag. where and order are
// program-built SQL fragments; values in where are "?" placeholders bound to
// params. A Tag holding a blank is used as the whole statement. A failure ends
// the fill where it happens; the rows loaded so far stay.
void GridLoadTable(GridModel& grid, const QString& where, const QString& order,
                   const TextMeasure& measure, const QVariantList& params = {});

// Fits every column from the last fixed one on to its widest text of rows
// firstRow onwards (and its caption), at most half the grid's width; the last
// column takes up the room left over.
void GridAutoFitColumns(const TextMeasure& measure, GridModel& grid, int firstRow,
                        bool showProgress);

// A mouse press at (x, y) twips inside the grid: on the top-left header cell
// it fits the widths, on a caption it sorts that column, elsewhere nothing.
void GridHeaderClick(const TextMeasure& measure, GridModel& grid, float x, float y);

// Sorts the data rows by column k, alternating the direction on each call and
// marking the caption with the direction.
void GridSortByColumn(GridModel& grid, int k);

void GridRenumberRows(GridModel& grid);

// Removes grid rows first..last (either order; clamped to the data rows),
// after asking when ask is set. The database is not touched. first and last
// come back ordered and clamped.
void GridDeleteRows(GridModel& grid, int& first, int& last, bool ask);

// Afterwards a >= b.
void OrderPair(int& a, int& b);

// Offsets in twips of column k / row k from the grid's top-left corner.
int GridCellLeft(const GridModel& grid, int k);
int GridCellTop(const GridModel& grid, int k);

int GridDataRowCount(const GridModel& grid);

}  // namespace quenlo
