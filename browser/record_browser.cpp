#include "browser/record_browser.h"

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
  connect(&box_->Widget(), &QLineEdit::editingFinished, this, [this] { CommitEdit(); });
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
