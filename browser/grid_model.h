// The record grid's data: a table of text cells with fixed (header) rows and
// columns, sizes in twips, a background colour per cell, a current cell and
// selection, a sort action and a free Tag. Plain C++ over Qt Core; a Qt view
// (browser/grid_view.h) shows it.
//
// Layout convention of every user: row 0 is the hidden field-name row (height
// 0), row 1 the caption row, data from row 2; the last fixed column holds the
// row number; Tag names the table to read or holds a whole SELECT.
#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <functional>
#include <vector>

namespace quenlo {

// Sort settings, by their long-standing numeric codes.
enum GridSortSetting {
  kSortNumericAscending = 3,
  kSortNumericDescending = 4,
  kSortTextAscending = 7,
  kSortTextDescending = 8,
};

inline constexpr int kDefaultRowHeightTwips = 240;
inline constexpr int kDefaultColWidthTwips = 960;
inline constexpr quint32 kDefaultCellBackColor = 0xFFFFFF;  // Windows RGB: red in the low byte

class GridModel {
 public:
  GridModel();

  int Rows() const { return static_cast<int>(cells_.size()); }
  void SetRows(int rows);  // new rows are empty, default height
  int Cols() const { return cols_; }
  void SetCols(int cols);  // new columns are empty, default width
  int FixedRows() const { return fixed_rows_; }
  void SetFixedRows(int n);
  int FixedCols() const { return fixed_cols_; }
  void SetFixedCols(int n);

  QString TextMatrix(int row, int col) const;
  void SetTextMatrix(int row, int col, const QString& text);

  int ColWidth(int col) const;
  void SetColWidth(int col, int twips);
  int RowHeight(int row) const;
  void SetRowHeight(int row, int twips);
  int ColAlignment(int col) const;
  void SetColAlignment(int col, int alignment);
  quint32 CellBackColor(int row, int col) const;
  void SetCellBackColor(int row, int col, quint32 windowsRgb);

  // Current cell, end of the selection, first visible scrolled row/column.
  int Row() const { return row_; }
  void SetRow(int row) { row_ = row; }
  int Col() const { return col_; }
  void SetCol(int col) { col_ = col; }
  int RowSel() const { return row_sel_; }
  void SetRowSel(int row) { row_sel_ = row; }
  int TopRow() const { return top_row_; }
  void SetTopRow(int row) { top_row_ = row; }
  int LeftCol() const { return left_col_; }
  void SetLeftCol(int col) { left_col_ = col; }

  // Sorts the data rows (below the fixed rows) by the current column. Whole
  // rows move (texts and colours); text sorts use the Chinese collation.
  void Sort(GridSortSetting setting);
  // Removes rows first .. first+count-1, moving the rows below up. The cells of
  // column keepCol stay where they are (row numbers); -1 keeps none.
  void RemoveRows(int first, int count, int keepCol);
  // Puts rows back at first, moving the rows from there down: texts[i] holds
  // the cells of one row, left to right (missing cells are empty). Every
  // column moves, so the row numbers need renumbering afterwards.
  void InsertRows(int first, const std::vector<QStringList>& texts);

  QString Tag() const { return tag_; }
  void SetTag(const QString& tag) { tag_ = tag; }
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  int Width() const { return width_twips_; }
  void SetWidth(int twips) { width_twips_ = twips; }

  // Called after every change so that a view can refresh (nullptr: none).
  // Cheap while the grid is hidden: views refresh once it is shown again.
  void SetChangeListener(std::function<void()> listener) { on_change_ = std::move(listener); }

 private:
  struct Cell {
    QString text;
    quint32 back_color = kDefaultCellBackColor;
  };
  void Changed();

  std::vector<std::vector<Cell>> cells_;
  std::vector<int> col_widths_;
  std::vector<int> col_alignments_;
  std::vector<int> row_heights_;
  int cols_ = 2;
  int fixed_rows_ = 1;
  int fixed_cols_ = 1;
  int row_ = 0, col_ = 0, row_sel_ = 0, top_row_ = 0, left_col_ = 0;
  QString tag_;
  bool visible_ = true;
  int width_twips_ = 9000;
  std::function<void()> on_change_;
};

}  // namespace quenlo
