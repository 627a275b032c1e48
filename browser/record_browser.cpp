#include "browser/record_browser.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

#include "browser/address_list.h"
#include "browser/font_text_measure.h"
#include "browser/grid_operations.h"
#include "browser/grid_view.h"
#include "browser/line_edit_cell_box.h"
#include "ports/messenger.h"

namespace quenlo {

RecordBrowser::RecordBrowser(const RecordList& list, GridModel& grid, QWidget* parent,
                             Options options)
    : QObject(parent),
      list_(list),
      grid_(grid),
      view_(new GridView(grid, parent)),
      box_(std::make_unique<LineEditCellBox>(*view_)),
      options_(std::move(options)) {
  connect(view_, &GridView::GridPressed, this, &RecordBrowser::Pressed);
  connect(view_, &GridView::GridDoubleClicked, this, &RecordBrowser::DoubleClicked);
  connect(view_, &GridView::Scrolled, this, [this] { CommitEdit(); });
  connect(view_, &GridView::CopyKeyPressed, this, [this] { CopySelection(); });
  connect(&box_->Widget(), &QLineEdit::returnPressed, this, [this] { CommitEdit(); });
  box_->Widget().installEventFilter(this);
}

RecordBrowser::~RecordBrowser() = default;

bool RecordBrowser::eventFilter(QObject* watched, QEvent* event) {
  if (watched != &box_->Widget()) return QObject::eventFilter(watched, event);
  if (event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    CancelEdit();
    return true;
  }
  // Focus moving elsewhere in the program ends the edit. Another window
  // becoming active does not (the contact page opened by a double-click, or
  // a trip to copy a number): the edit goes on when the user comes back.
  if (event->type() == QEvent::FocusOut) {
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) CommitEdit();
  }
  return QObject::eventFilter(watched, event);
}

void RecordBrowser::Pressed(float x, float y) {
  CommitEdit();
  // A press on the captions may sort: rows then stand elsewhere.
  int headerHeight = 0;
  for (int r = 0; r < grid_.FixedRows(); ++r) headerHeight += grid_.RowHeight(r);
  if (y < headerHeight) ++fill_generation_;
  GridHeaderClick(FontTextMeasure(*view_), grid_, x, y);
}

void RecordBrowser::DoubleClicked() {
  const bool onMember = grid_.Row() >= grid_.FixedRows() && grid_.Col() == kMemberColumn;
  if (onMember && options_.memberDoubleClicked) {
    options_.memberDoubleClicked(grid_.TextMatrix(grid_.Row(), kMemberColumn));
  }
  if (options_.editable) editor_.GridDoubleClick(grid_, *box_, options_.openContactPage);
}

QString RecordBrowser::Refresh(const QString& entry, const QString& keyword) {
  CommitEdit();
  entry_ = entry;
  keyword_ = keyword;
  filled_ = true;
  ++fill_generation_;
  RefreshRecordList(list_, grid_, entry, keyword, FontTextMeasure(*view_));
  view_->SyncFromModel();
  return RecordCountText(grid_);
}

void RecordBrowser::Refill() {
  if (filled_) Refresh(entry_, keyword_);
}

QString RecordBrowser::DeleteSelected() {
  CommitEdit();
  if (!options_.editable) return {};
  RowDeletion deleted;
  if (!DeleteAddressRows(grid_, &deleted)) return {};
  if (!deleted.gridRows.empty()) undo_.Record(std::move(deleted), fill_generation_);
  view_->SyncFromModel();
  return RecordCountText(grid_);
}

void RecordBrowser::CommitEdit() {
  std::optional<CellChange> change = editor_.CellEditCommit(*box_);
  if (!change) return;
  const bool renamed = change->RenamesMember();
  undo_.Record(std::move(*change));
  if (renamed) emit MemberRenamed();
}

void RecordBrowser::CancelEdit() { editor_.CellEditCancel(*box_); }

QString RecordBrowser::Undo() {
  CommitEdit();
  bool refill = false;
  const bool renames = undo_.NewestRenamesMember();
  const DbStatus undone = undo_.UndoLast(grid_, fill_generation_, &refill);
  if (!undone.Ok()) ShowMessage(QStringLiteral("未能撤销：%1").arg(undone.Message()));
  if (refill) Refill();
  view_->SyncFromModel();
  if (renames && undone.Ok()) emit MemberRenamed();
  return RecordCountText(grid_);
}

void RecordBrowser::CopySelection() const {
  const QString text = CopiedCellsText(grid_, view_->SelectedBlock());
  if (!text.isEmpty()) QApplication::clipboard()->setText(text);
}

bool RecordBrowser::ShowMember(const QString& member) {
  const int row = FindMemberRow(grid_, member);
  if (row >= 0) view_->SelectGridRow(row);
  return row >= 0;
}

}  // namespace quenlo
