#include "browser/grid_model.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QLocale>
#include <algorithm>
#include <numeric>

namespace quenlo {

namespace {

bool InRange(int index, size_t size) { return index >= 0 && static_cast<size_t>(index) < size; }

// The order a Chinese user expects (pinyin for Han characters); built once
// because creating a collator loads ICU data.
const QCollator& ChineseCollator() {
  static const QCollator collator(QLocale(QLocale::Chinese, QLocale::China));
  return collator;
}

// The value a numeric sort compares: text that is not a number counts as 0.
double NumericValue(const QString& text) {
  bool ok = false;
  const double value = text.trimmed().toDouble(&ok);
  return ok ? value : 0.0;
}

}  // namespace

GridModel::GridModel() {
  SetCols(cols_);
  SetRows(2);
}

void GridModel::Changed() {
  if (visible_ && on_change_) on_change_();
}

void GridModel::SetRows(int rows) {
  rows = std::max(rows, 0);
  cells_.resize(static_cast<size_t>(rows), std::vector<Cell>(static_cast<size_t>(cols_)));
  row_heights_.resize(static_cast<size_t>(rows), kDefaultRowHeightTwips);
  Changed();
}

void GridModel::SetCols(int cols) {
  cols_ = std::max(cols, 0);
  for (auto& row : cells_) row.resize(static_cast<size_t>(cols_));
  col_widths_.resize(static_cast<size_t>(cols_), kDefaultColWidthTwips);
  col_alignments_.resize(static_cast<size_t>(cols_), 0);
  Changed();
}

void GridModel::SetFixedRows(int n) {
  fixed_rows_ = std::max(n, 0);
  Changed();
}

void GridModel::SetFixedCols(int n) {
  fixed_cols_ = std::max(n, 0);
  Changed();
}

QString GridModel::TextMatrix(int row, int col) const {
  if (!InRange(row, cells_.size()) || !InRange(col, static_cast<size_t>(cols_))) return {};
  return cells_[row][col].text;
}

void GridModel::SetTextMatrix(int row, int col, const QString& text) {
  if (!InRange(row, cells_.size()) || !InRange(col, static_cast<size_t>(cols_))) return;
  cells_[row][col].text = text;
  Changed();
}

int GridModel::ColWidth(int col) const {
  return InRange(col, col_widths_.size()) ? col_widths_[col] : 0;
}

void GridModel::SetColWidth(int col, int twips) {
  if (!InRange(col, col_widths_.size())) return;
  col_widths_[col] = std::max(twips, 0);
  Changed();
}

int GridModel::RowHeight(int row) const {
  return InRange(row, row_heights_.size()) ? row_heights_[row] : 0;
}

void GridModel::SetRowHeight(int row, int twips) {
  if (!InRange(row, row_heights_.size())) return;
  row_heights_[row] = std::max(twips, 0);
  Changed();
}

int GridModel::ColAlignment(int col) const {
  return InRange(col, col_alignments_.size()) ? col_alignments_[col] : 0;
}

void GridModel::SetColAlignment(int col, int alignment) {
  if (!InRange(col, col_alignments_.size())) return;
  col_alignments_[col] = alignment;
  Changed();
}

quint32 GridModel::CellBackColor(int row, int col) const {
  if (!InRange(row, cells_.size()) || !InRange(col, static_cast<size_t>(cols_))) {
    return kDefaultCellBackColor;
  }
  return cells_[row][col].back_color;
}

void GridModel::SetCellBackColor(int row, int col, quint32 windowsRgb) {
  if (!InRange(row, cells_.size()) || !InRange(col, static_cast<size_t>(cols_))) return;
  cells_[row][col].back_color = windowsRgb;
  Changed();
}

void GridModel::SetVisible(bool visible) {
  visible_ = visible;
  Changed();
}

void GridModel::RemoveRows(int first, int count, int keepCol) {
  const int rows = Rows();
  if (first < 0 || count <= 0 || first + count > rows) return;
  for (int r = first; r + count < rows; ++r) {
    for (int c = 0; c < cols_; ++c) {
      if (c != keepCol) cells_[r][c] = std::move(cells_[r + count][c]);
    }
  }
  cells_.resize(static_cast<size_t>(rows - count));
  row_heights_.resize(static_cast<size_t>(rows - count));
  Changed();
}

void GridModel::InsertRows(int first, const std::vector<QStringList>& texts) {
  if (first < 0 || first > Rows() || texts.empty()) return;
  // New rows are as high as the data row they join.
  const int height =
      Rows() > fixed_rows_ ? row_heights_[std::min(first, Rows() - 1)] : kDefaultRowHeightTwips;
  std::vector<std::vector<Cell>> rows;
  rows.reserve(texts.size());
  for (const QStringList& row : texts) {
    std::vector<Cell> cells(static_cast<size_t>(cols_));
    for (int c = 0; c < cols_ && c < row.size(); ++c) cells[c].text = row[c];
    rows.push_back(std::move(cells));
  }
  cells_.insert(cells_.begin() + first, std::make_move_iterator(rows.begin()),
                std::make_move_iterator(rows.end()));
  row_heights_.insert(row_heights_.begin() + first, texts.size(), height);
  Changed();
}

void GridModel::Sort(GridSortSetting setting) {
  const int first = fixed_rows_;
  const int count = Rows() - first;
  if (count < 2 || !InRange(col_, static_cast<size_t>(cols_))) return;

  // Sort an index of the data rows on precomputed keys, then move whole rows
  // (texts, colours, heights) into that order. Stable, so equal keys keep
  // their order.
  std::vector<int> order(static_cast<size_t>(count));
  std::iota(order.begin(), order.end(), 0);
  const bool descending = setting == kSortNumericDescending || setting == kSortTextDescending;
  const bool numeric = setting == kSortNumericAscending || setting == kSortNumericDescending;
  if (numeric) {
    std::vector<double> keys;
    keys.reserve(order.size());
    for (int i = 0; i < count; ++i) keys.push_back(NumericValue(cells_[first + i][col_].text));
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
      return descending ? keys[b] < keys[a] : keys[a] < keys[b];
    });
  } else {
    const QCollator& collator = ChineseCollator();
    std::vector<QCollatorSortKey> keys;
    keys.reserve(order.size());
    for (int i = 0; i < count; ++i) keys.push_back(collator.sortKey(cells_[first + i][col_].text));
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
      return descending ? keys[b].compare(keys[a]) < 0 : keys[a].compare(keys[b]) < 0;
    });
  }

  std::vector<std::vector<Cell>> rows;
  std::vector<int> heights;
  rows.reserve(order.size());
  heights.reserve(order.size());
  for (int index : order) {
    rows.push_back(std::move(cells_[first + index]));
    heights.push_back(row_heights_[first + index]);
  }
  std::move(rows.begin(), rows.end(), cells_.begin() + first);
  std::copy(heights.begin(), heights.end(), row_heights_.begin() + first);
  Changed();
}

}  // namespace quenlo
