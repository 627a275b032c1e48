#include "browser/grid_table_adapter.h"

#include <QColor>

namespace quenlo {

namespace {

QColor FromWindowsRgb(quint32 rgb) {
  return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

// The grid's codes run 0-2 left, 3-5 centre, 6-8 right (each top, middle,
// bottom); rows are one line high, so only the horizontal part shows.
Qt::Alignment ToQtAlignment(int flexAlignment) {
  const int horizontal = flexAlignment >= 0 && flexAlignment <= 8 ? flexAlignment / 3 : 0;
  const Qt::Alignment h[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
  return h[horizontal] | Qt::AlignVCenter;
}

}  // namespace

GridTableAdapter::GridTableAdapter(const GridModel& grid, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid) {
  Refresh();
}

int GridTableAdapter::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

int GridTableAdapter::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : cols_;
}

QVariant GridTableAdapter::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const int row = GridRow(index.row());
  const int col = GridCol(index.column());
  switch (role) {
    case Qt::DisplayRole:
      return grid_.TextMatrix(row, col);
    case Qt::BackgroundRole: {
      const quint32 color = grid_.CellBackColor(row, col);
      return color == kDefaultCellBackColor ? QVariant() : QVariant(FromWindowsRgb(color));
    }
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(ToQtAlignment(grid_.ColAlignment(col)));
    default:
      return {};
  }
}

QVariant GridTableAdapter::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal) {
    return fixed_rows_ > 0 ? grid_.TextMatrix(fixed_rows_ - 1, GridCol(section)) : QVariant();
  }
  return fixed_cols_ > 0 ? grid_.TextMatrix(GridRow(section), fixed_cols_ - 1) : QVariant();
}

void GridTableAdapter::Refresh() {
  const int rows = std::max(grid_.Rows() - grid_.FixedRows(), 0);
  const int cols = std::max(grid_.Cols() - grid_.FixedCols(), 0);
  if (rows == rows_ && cols == cols_ && grid_.FixedRows() == fixed_rows_ &&
      grid_.FixedCols() == fixed_cols_) {
    if (rows > 0 && cols > 0) emit dataChanged(index(0, 0), index(rows - 1, cols - 1));
    if (cols > 0) emit headerDataChanged(Qt::Horizontal, 0, cols - 1);
    if (rows > 0) emit headerDataChanged(Qt::Vertical, 0, rows - 1);
    return;
  }
  beginResetModel();
  rows_ = rows;
  cols_ = cols;
  fixed_rows_ = grid_.FixedRows();
  fixed_cols_ = grid_.FixedCols();
  endResetModel();
}

}  // namespace quenlo
