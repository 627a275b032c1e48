#include "harvest/query_window.h"

#include "harvest/regions.h"
#include "harvest/search_query.h"
#include "ports/messenger.h"
#include "widgets/form_helpers.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace quenlo {

namespace {

// Places a control at a position and size given in twips.
void PlaceTwips(QWidget* control, int left, int top, int width, int height) {
  const QWidget* w = control->window();
  control->setGeometry(ToPixelsX(left, w), ToPixelsY(top, w), ToPixelsX(width, w),
                       ToPixelsY(height, w));
}

QFrame* HorizontalLine(QWidget* parent, int right, int y, const QColor& color) {
  auto* line = new QFrame(parent);
  line->setFrameShape(QFrame::NoFrame);
  line->setAutoFillBackground(true);
  QPalette palette = line->palette();
  palette.setColor(QPalette::Window, color);
  line->setPalette(palette);
  line->setGeometry(0, ToPixelsY(y, parent), ToPixelsX(right, parent), 1);
  return line;
}

QPushButton* CaptionButton(QWidget* parent, const QString& caption, const char* name) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setFont(QFont(QStringLiteral("宋体")));
  return button;
}

}  // namespace

QueryWindow::QueryWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(kQueryWindowCaption);
  setFixedSize(ToPixelsX(4680, this), ToPixelsY(2190, this));

  auto* keywordLabel = new QLabel(QStringLiteral("企业相关关键词："), this);
  keywordLabel->setObjectName(QStringLiteral("Label1"));
  PlaceTwips(keywordLabel, 120, 120, 1440, 180);
  keyword_ = new QLineEdit(kDefaultKeyword, this);
  keyword_->setObjectName(QStringLiteral("TXT"));
  PlaceTwips(keyword_, 120, 360, 4455, 270);

  auto* regionLabel = new QLabel(QStringLiteral("企业所在省份："), this);
  regionLabel->setObjectName(QStringLiteral("Label2"));
  PlaceTwips(regionLabel, 120, 840, 1260, 180);
  // Editable only so that it can show a remembered entry as text; typing is
  // swallowed, the region is picked from the list.
  region_ = new QComboBox(this);
  region_->setObjectName(QStringLiteral("CMB"));
  region_->setEditable(true);
  region_->lineEdit()->setReadOnly(true);
  region_->addItems(RegionEntries());
  region_->setEditText(kDefaultRegionEntry);
  region_->installEventFilter(this);
  region_->lineEdit()->installEventFilter(this);
  PlaceTwips(region_, 120, 1080, 4455, 300);

  HorizontalLine(this, 4690, 1550, Qt::white);
  HorizontalLine(this, 4680, 1560, QColor(128, 128, 128));

  auto* confirm = CaptionButton(this, QStringLiteral("确    定"), "Com1");
  PlaceTwips(confirm, 360, 1680, 1695, 400);
  auto* cancel = CaptionButton(this, QStringLiteral("取    消"), "Com0");
  PlaceTwips(cancel, 2640, 1680, 1695, 400);
  connect(confirm, &QPushButton::clicked, this, &QueryWindow::Confirm);
  connect(cancel, &QPushButton::clicked, this, &QueryWindow::Cancel);

  setTabOrder(keyword_, region_);
  setTabOrder(region_, confirm);
  setTabOrder(confirm, cancel);
}

QueryWindow* QueryWindow::Open() {
  auto* window = new QueryWindow;
  const RememberedQuery remembered = LoadRememberedQuery();
  if (!remembered.keyword.isEmpty()) {
    window->keyword_->setText(remembered.keyword);
    window->region_->setEditText(remembered.regionEntry);
  }
  CenterForm(*window);
  SetTopMost(*window);
  ClearQuery();
  window->show();
  return window;
}

void QueryWindow::Confirm() {
  keyword_->setText(keyword_->text().trimmed());
  if (!ConfirmQuery(keyword_->text(), region_->currentText())) {
    ShowMessage(KeywordProblem(keyword_->text()));
    return;
  }
  close();
}

void QueryWindow::Cancel() { close(); }

bool QueryWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Tab && key != Qt::Key_Backtab) return true;
  }
  return QWidget::eventFilter(watched, event);
}

bool RaiseOpenQueryWindow() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (!qobject_cast<QueryWindow*>(widget) || !widget->isVisible()) continue;
    widget->raise();
    widget->activateWindow();
    return true;
  }
  return false;
}

void AskSearchQuery() {
  QueryWindow::Open();
  WaitFormClosed(kQueryWindowCaption);
}

}  // namespace quenlo
