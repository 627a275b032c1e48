// The edit box of in-grid editing: a QLineEdit laid over a GridView's cell.
#pragma once

#include <QLineEdit>

#include "browser/cell_editor.h"

namespace quenlo {

class GridView;

class LineEditCellBox : public CellEditBox {
 public:
  // The box becomes a hidden child of the view.
  explicit LineEditCellBox(GridView& view);

  void PlaceTwips(int left, int top, int width, int height) override;
  void ShowFocused() override;
  void Hide() override;
  bool IsShown() const override;
  QString Text() const override;
  void SetText(const QString& text) override;

  QLineEdit& Widget() const { return *edit_; }

 private:
  GridView& view_;
  QLineEdit* edit_;
  bool hiding_ = false;
};

}  // namespace quenlo
