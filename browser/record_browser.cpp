#include "browser/record_browser.h"

#include <QFocusEvent>
#include <QLineEdit>

#include "browser/address_list.h"
#include "browser/font_text_measure.h"
#include "browser/grid_operations.h"
#include "browser/grid_view.h"
#include "browser/line_edit_cell_box.h"

namespace quenlo {

RecordBrowser::RecordBrowser(GridModel& grid, QWidget* parent,
                             std::function<void(const QString&)> openContactPage)
    : QObject(parent),
      grid_(grid),
      view_(new GridView(grid, parent)),
      box_(std::make_unique<LineEditCellBox>(*view_)),
      open_contact_page_(std::move(openContactPage)) {
  connect(view_, &GridView::GridPressed, this, [this](float x, float y) {
    CommitEdit();
    GridHeaderClick(FontTextMeasure(*view_), grid_, x, y);
  });
  connect(view_, &GridView::GridDoubleClicked, this,
          [this] { editor_.GridDoubleClick(grid_, *box_, open_contact_page_); });
  connect(view_, &GridView::Scrolled, this, [this] { CommitEdit(); });
  connect(&box_->Widget(), &QLineEdit::returnPressed, this, [this] { CommitEdit(); });
  box_->Widget().installEventFilter(this);
}

bool RecordBrowser::eventFilter(QObject* watched, QEvent* event) {
  // Focus moving elsewhere in the program ends the edit. Another window
  // becoming active does not (the contact page opened by a double-click, or
  // a trip to copy a number): the edit goes on when the user comes back.
  if (watched == &box_->Widget() && event->type() == QEvent::FocusOut) {
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) CommitEdit();
  }
  return QObject::eventFilter(watched, event);
}

RecordBrowser::~RecordBrowser() = default;

QString RecordBrowser::Refresh(const QString& entry, const QString& keyword) {
  CommitEdit();
  RefreshAddressList(grid_, entry, keyword, FontTextMeasure(*view_));
  view_->SyncFromModel();
  return AddressCountText(grid_);
}

QString RecordBrowser::DeleteSelected() {
  CommitEdit();
  if (!DeleteAddressRows(grid_)) return {};
  view_->SyncFromModel();
  return AddressCountText(grid_);
}

void RecordBrowser::CommitEdit() { editor_.CellEditCommit(*box_); }

}  // namespace quenlo
