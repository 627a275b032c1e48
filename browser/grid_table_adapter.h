// Presents a GridModel to a Qt item view: the data rows as rows, the caption
// row as the horizontal header, the row-number column as the vertical header.
// The hidden field-name row and other fixed cells are not shown.
#pragma once

#include <QAbstractTableModel>

#include "browser/grid_model.h"

namespace quenlo {

class GridTableAdapter : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit GridTableAdapter(const GridModel& grid, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Picks up the grid's current contents (called on every change of the grid).
  void Refresh();

  // Grid row / column of a view index and back.
  int GridRow(int viewRow) const { return fixed_rows_ + viewRow; }
  int GridCol(int viewCol) const { return fixed_cols_ + viewCol; }

 private:
  const GridModel& grid_;
  // The shape last announced to the view; the grid may change it while hidden.
  int rows_ = 0, cols_ = 0, fixed_rows_ = 0, fixed_cols_ = 0;
};

}  // namespace quenlo
