#include "browser/line_edit_cell_box.h"

#include "browser/grid_view.h"

namespace quenlo {

LineEditCellBox::LineEditCellBox(GridView& view) : view_(view), edit_(new QLineEdit(&view)) {
  edit_->setFrame(false);
  edit_->hide();
}

void LineEditCellBox::PlaceTwips(int left, int top, int width, int height) {
  const QPoint origin = view_.GridOrigin();
  edit_->setGeometry(origin.x() + view_.TwipsToPixelsX(left),
                     origin.y() + view_.TwipsToPixelsY(top), view_.TwipsToPixelsX(width),
                     view_.TwipsToPixelsY(height));
}

void LineEditCellBox::ShowFocused() {
  edit_->show();
  edit_->raise();
  edit_->setFocus(Qt::OtherFocusReason);
}

void LineEditCellBox::Hide() {
  // Hiding a focused box would let the view take the focus as if Tab were
  // pressed, moving the current cell and scrolling to it; hand the focus back
  // to the view directly instead. That focus change ends the edit again:
  // meanwhile the box counts as hidden.
  hiding_ = true;
  if (edit_->hasFocus()) view_.setFocus(Qt::OtherFocusReason);
  edit_->hide();
  hiding_ = false;
}

bool LineEditCellBox::IsShown() const { return !hiding_ && !edit_->isHidden(); }

QString LineEditCellBox::Text() const { return edit_->text(); }

void LineEditCellBox::SetText(const QString& text) { edit_->setText(text); }

}  // namespace quenlo
