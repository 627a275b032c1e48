#include "shell/main_window_layout.h"

#include "shell/layout_math.h"
#include "shell/main_window.h"
#include "widgets/form_helpers.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTabBar>

namespace quenlo {
namespace {

// Where the tab strip stands in the window's client area.
constexpr int kTabStripLeft = 60;
constexpr int kTabStripTop = 120;
constexpr int kHelpFrameWidth = 1700;

TwipsRect ToTwips(const QWidget& w) {
  const QRect g = w.geometry();
  return {ToTwipsX(g.x(), &w), ToTwipsY(g.y(), &w), ToTwipsX(g.width(), &w),
          ToTwipsY(g.height(), &w)};
}

void Apply(QWidget& w, const TwipsRect& r) {
  w.setGeometry(ToPixelsX(r.left, &w), ToPixelsY(r.top, &w), ToPixelsX(r.width, &w),
                ToPixelsY(r.height, &w));
}

}  // namespace

void LayoutMainWindow(MainWindow& window) {
  if (window.isMinimized()) return;  // every length would come out negative
  QWidget& tabStrip = *window.TabStrip();
  QWidget& helpFrame = *window.HelpFrame();
  QWidget& helpText = *window.HelpText();
  QWidget& grid = *window.GridHost();

  MainLayout layout;
  layout.tabStrip = ToTwips(tabStrip);
  layout.tabStrip.left = kTabStripLeft;
  layout.tabStrip.top = kTabStripTop;
  layout.status = ToTwips(*window.StatusLabel());
  for (int i = 0; i < int(layout.pages.size()); ++i) {
    if (const QWidget* page = window.Page(i)) layout.pages[i] = ToTwips(*page);
  }
  layout.grids[0] = ToTwips(grid);
  layout.helpFrame = ToTwips(helpFrame);
  layout.helpText = ToTwips(helpText);

  // The window's outer size, as the arithmetic counts it (title and menu included).
  const QRect outer = window.frameGeometry();
  FitMainLayout(ToTwipsX(outer.width(), &window), ToTwipsY(outer.height(), &window), layout);

  Apply(tabStrip, layout.tabStrip);
  QLabel& status = *window.StatusLabel();
  status.move(ToPixelsX(layout.status.left, &window), ToPixelsY(layout.status.top, &window));
  status.resize(tabStrip.width(), status.sizeHint().height());
  window.TabBar()->setGeometry(0, 0, tabStrip.width(), window.TabBar()->sizeHint().height());
  const int currentTab = window.TabBar()->currentIndex();
  for (int i = 0; i < int(layout.pages.size()); ++i) {
    QWidget* page = window.Page(i);
    if (!page) continue;
    Apply(*page, *layout.pages[i]);
    page->setVisible(i == currentTab);
  }
  Apply(grid, *layout.grids[0]);
  window.RecordBar()->setGeometry(0, 0, window.Page(0)->width(), grid.y());

  layout.helpFrame.top = 0;
  layout.helpFrame.width = kHelpFrameWidth;
  layout.helpFrame.height = ToTwipsY(helpFrame.sizeHint().height(), &helpFrame);
  Apply(helpFrame, layout.helpFrame);
  layout.helpText.left = 0;
  layout.helpText.top = 0;
  Apply(helpText, layout.helpText);
}

}  // namespace quenlo
