#include "browser/grid_view.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyleOptionHeader>
#include <QStylePainter>
#include <QTimer>
#include <cmath>

#include "browser/grid_table_adapter.h"

namespace quenlo {

namespace {
constexpr double kTwipsPerInch = 1440.0;
}  // namespace

GridView::GridView(GridModel& grid, QWidget* parent)
    : QTableView(parent), grid_(grid), adapter_(new GridTableAdapter(grid, this)) {
  setModel(adapter_);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
  setWordWrap(false);
  setCornerButtonEnabled(false);
  // Presses on the captions sort through the grid operations, not the header.
  horizontalHeader()->setSectionsClickable(false);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setMinimumSectionSize(0);
  verticalHeader()->setSectionsClickable(false);
  verticalHeader()->setMinimumSectionSize(0);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

  viewport()->installEventFilter(this);
  horizontalHeader()->viewport()->installEventFilter(this);
  verticalHeader()->viewport()->installEventFilter(this);
  if (auto* corner = findChild<QAbstractButton*>()) {
    corner->setObjectName(QStringLiteral("corner"));
    corner->installEventFilter(this);
  }

  connect(horizontalHeader(), &QHeaderView::sectionResized, this,
          [this](int section, int, int pixels) {
            if (!applying_sizes_) {
              grid_.SetColWidth(adapter_->GridCol(section),
                                static_cast<int>(std::lround(PixelsToTwipsX(pixels))));
            }
          });
  for (QScrollBar* bar : {verticalScrollBar(), horizontalScrollBar()}) {
    connect(bar, &QScrollBar::valueChanged, this, [this] {
      TrackScroll();
      emit Scrolled();
    });
  }
  connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this] { TrackCurrentCell(); });
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { TrackCurrentCell(); });

  grid_.SetChangeListener([this] { ScheduleSync(); });
  SyncFromModel();
}

GridView::~GridView() { grid_.SetChangeListener(nullptr); }

int GridView::TwipsToPixelsX(int twips) const {
  return static_cast<int>(std::lround(twips * logicalDpiX() / kTwipsPerInch));
}

int GridView::TwipsToPixelsY(int twips) const {
  return static_cast<int>(std::lround(twips * logicalDpiY() / kTwipsPerInch));
}

double GridView::PixelsToTwipsX(double pixels) const { return pixels * kTwipsPerInch / logicalDpiX(); }

double GridView::PixelsToTwipsY(double pixels) const { return pixels * kTwipsPerInch / logicalDpiY(); }

QPoint GridView::GridOrigin() const { return QPoint(frameWidth(), frameWidth()); }

CellBlock GridView::SelectedBlock() const {
  const QItemSelection selection = selectionModel()->selection();
  if (!selection.isEmpty()) {
    const QItemSelectionRange& range = selection.first();  // the selection is one block
    return {adapter_->GridRow(range.top()), adapter_->GridRow(range.bottom()),
            adapter_->GridCol(range.left()), adapter_->GridCol(range.right())};
  }
  const QModelIndex current = currentIndex();
  if (!current.isValid()) return {};
  const int row = adapter_->GridRow(current.row());
  const int col = adapter_->GridCol(current.column());
  return {row, row, col, col};
}

void GridView::SelectGridRow(int row) {
  SyncFromModel();
  const QModelIndex first = model()->index(row - grid_.FixedRows(), 0);
  if (!first.isValid()) return;
  setCurrentIndex(first);
  selectionModel()->select(first, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  scrollTo(first, QAbstractItemView::PositionAtCenter);
}

void GridView::ScheduleSync() {
  // Many small changes (a renumbering touches every row) become one refresh.
  if (sync_pending_) return;
  sync_pending_ = true;
  QTimer::singleShot(0, this, [this] {
    if (sync_pending_) SyncFromModel();
  });
}

void GridView::SyncFromModel() {
  sync_pending_ = false;
  // Selection and scroll position survive a change that keeps the shape.
  const QModelIndex current = currentIndex();
  adapter_->Refresh();
  ApplySizes();
  if (!currentIndex().isValid() && current.isValid() && current.row() < model()->rowCount() &&
      current.column() < model()->columnCount()) {
    setCurrentIndex(model()->index(current.row(), current.column()));
  }
  TrackScroll();
  if (auto* corner = findChild<QAbstractButton*>(QStringLiteral("corner"))) corner->update();
}

void GridView::ApplySizes() {
  applying_sizes_ = true;
  int headerHeight = 0;
  for (int r = 0; r < grid_.FixedRows(); ++r) headerHeight += grid_.RowHeight(r);
  horizontalHeader()->setFixedHeight(TwipsToPixelsY(headerHeight));
  int numberWidth = 0;
  for (int c = 0; c < grid_.FixedCols(); ++c) numberWidth += grid_.ColWidth(c);
  verticalHeader()->setFixedWidth(TwipsToPixelsX(numberWidth));
  verticalHeader()->setDefaultSectionSize(TwipsToPixelsY(
      grid_.Rows() > grid_.FixedRows() ? grid_.RowHeight(grid_.FixedRows()) : kDefaultRowHeightTwips));
  // Each column's edges are its twips edges rounded once, so that the
  // column a position in twips falls in (a press, the edit box) is the column
  // seen there, however many columns lie to its left.
  int rightTwips = 0;
  int rightPixels = 0;
  for (int c = 0; c < adapter_->columnCount(); ++c) {
    rightTwips += grid_.ColWidth(adapter_->GridCol(c));
    const int edge = TwipsToPixelsX(rightTwips);
    setColumnWidth(c, edge - rightPixels);
    rightPixels = edge;
  }
  applying_sizes_ = false;
}

void GridView::TrackCurrentCell() {
  const QModelIndex current = currentIndex();
  if (!current.isValid()) return;
  grid_.SetRow(adapter_->GridRow(current.row()));
  grid_.SetCol(adapter_->GridCol(current.column()));
  // The selection's far end from the current cell, as RowSel.
  int rowSel = current.row();
  for (const QItemSelectionRange& range : selectionModel()->selection()) {
    if (!range.contains(current)) continue;
    rowSel = current.row() == range.top() ? range.bottom() : range.top();
  }
  grid_.SetRowSel(adapter_->GridRow(rowSel));
}

void GridView::TrackScroll() {
  grid_.SetTopRow(adapter_->GridRow(verticalScrollBar()->value()));
  grid_.SetLeftCol(adapter_->GridCol(horizontalScrollBar()->value()));
}

void GridView::PaintCorner(QWidget& corner) const {
  QStylePainter painter(&corner);
  QStyleOptionHeader option;
  option.initFrom(&corner);
  option.rect = corner.rect();
  // The button takes no presses, but its caption reads as the others do.
  option.state |= QStyle::State_Enabled;
  option.palette.setCurrentColorGroup(QPalette::Active);
  option.position = QStyleOptionHeader::OnlyOneSection;
  option.textAlignment = Qt::AlignLeft | Qt::AlignVCenter;
  if (grid_.FixedRows() > 0 && grid_.FixedCols() > 0)
    option.text = grid_.TextMatrix(grid_.FixedRows() - 1, grid_.FixedCols() - 1);
  painter.drawControl(QStyle::CE_Header, option);
}

bool GridView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Paint && watched->objectName() == QLatin1String("corner")) {
    PaintCorner(*static_cast<QWidget*>(watched));
    return true;
  }
  if (event->type() == QEvent::MouseButtonDblClick && watched == viewport()) {
    const QModelIndex index = indexAt(static_cast<QMouseEvent*>(event)->position().toPoint());
    if (index.isValid()) {
      grid_.SetRow(adapter_->GridRow(index.row()));
      grid_.SetCol(adapter_->GridCol(index.column()));
      emit GridDoubleClicked();
    }
  } else if (event->type() == QEvent::MouseButtonPress) {
    auto* widget = qobject_cast<QWidget*>(watched);
    const auto* press = static_cast<QMouseEvent*>(event);
    if (widget != nullptr) {
      const QPoint at = widget->mapTo(this, press->position().toPoint()) - GridOrigin();
      emit GridPressed(static_cast<float>(PixelsToTwipsX(at.x())),
                       static_cast<float>(PixelsToTwipsY(at.y())));
    }
  }
  return QTableView::eventFilter(watched, event);
}

void GridView::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    emit CopyKeyPressed();
  } else if (event->matches(QKeySequence::Delete)) {
    emit DeleteKeyPressed();
  } else {
    QTableView::keyPressEvent(event);
  }
}

void GridView::resizeEvent(QResizeEvent* event) {
  QTableView::resizeEvent(event);
  grid_.SetWidth(static_cast<int>(std::lround(PixelsToTwipsX(width()))));
}

}  // namespace quenlo
