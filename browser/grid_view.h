// The record grid on screen: a table view over a GridModel. The caption row
// is the header the user clicks, the row-number column stays at the left as
// the vertical header, the field-name row is never shown. Sizes follow the
// model's twips; the view reports presses, double-clicks and scrolling, and
// keeps the model's current cell, selection end, scroll position and width.
#pragma once

#include <QTableView>

#include "browser/copied_cells.h"
#include "browser/grid_model.h"

namespace quenlo {

class GridTableAdapter;

class GridView : public QTableView {
  Q_OBJECT

 public:
  explicit GridView(GridModel& grid, QWidget* parent = nullptr);
  ~GridView() override;

  GridModel& Grid() const { return grid_; }
  // Takes up the model's contents and sizes now (changes are otherwise taken
  // up once control returns to the event loop).
  void SyncFromModel();

  int TwipsToPixelsX(int twips) const;
  int TwipsToPixelsY(int twips) const;
  double PixelsToTwipsX(double pixels) const;
  double PixelsToTwipsY(double pixels) const;
  // The top-left corner of the grid's cells (inside the frame), in view coordinates.
  QPoint GridOrigin() const;

  // The selected cells in grid rows and columns (the current cell when
  // nothing is selected); an empty block on an empty grid.
  CellBlock SelectedBlock() const;
  // Makes a data row current and selected, scrolled into view.
  void SelectGridRow(int row);

 signals:
  // A mouse press anywhere on the grid, in twips from its top-left corner.
  void GridPressed(float xTwips, float yTwips);
  // A double-click on a data cell; the model's current cell is that cell.
  void GridDoubleClicked();
  void Scrolled();
  // The keys of the grid's own commands.
  void CopyKeyPressed();
  void DeleteKeyPressed();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void ScheduleSync();
  void ApplySizes();
  void TrackCurrentCell();
  void TrackScroll();
  // The caption of the row-number column, drawn on the corner button above it.
  void PaintCorner(QWidget& corner) const;

  GridModel& grid_;
  GridTableAdapter* adapter_;
  bool sync_pending_ = false;
  bool applying_sizes_ = false;
};

}  // namespace quenlo
