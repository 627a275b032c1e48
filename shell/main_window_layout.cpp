#include "shell/main_window_layout.h"

#include "shell/layout_math.h"
#include "shell/main_window.h"
#include "widgets/form_helpers.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTabBar>

#include <algorithm>

namespace quenlo {
namespace {

// Where the tab strip stands in the window's client area.
constexpr int kTabStripLeft = 60;
constexpr int kTabStripTop = 120;
constexpr int kHelpFrameWidth = 1700;
constexpr int kHelpFrameGap = 60;  // between the manual and the frame of help commands
// The least a grid shows: its captions, a few rows and a scroll bar.
constexpr int kGridMinimumHeight = 2400;
// The least room of the manual beside the help commands.
constexpr int kHelpTextMinimumWidth = 2400;

TwipsRect ToTwips(const QWidget& w) {
  const QRect g = w.geometry();
  return {ToTwipsX(g.x(), &w), ToTwipsY(g.y(), &w), ToTwipsX(g.width(), &w),
          ToTwipsY(g.height(), &w)};
}

void Apply(QWidget& w, const TwipsRect& r) {
  w.setGeometry(ToPixelsX(r.left, &w), ToPixelsY(r.top, &w), ToPixelsX(r.width, &w),
                ToPixelsY(r.height, &w));
}

QWidget* GridOfPage(const MainWindow& window, int grid) {
  return grid == 0 ? window.GridHost() : window.ProfileGridHost();
}

MainLayout CurrentLayout(const MainWindow& window) {
  MainLayout layout;
  layout.tabStrip = ToTwips(*window.TabStrip());
  layout.tabStrip.left = kTabStripLeft;
  layout.tabStrip.top = kTabStripTop;
  layout.status = ToTwips(*window.StatusLabel());
  for (int i = 0; i < int(layout.pages.size()); ++i) {
    if (const QWidget* page = window.Page(i)) layout.pages[i] = ToTwips(*page);
  }
  for (int i = 0; i < int(layout.grids.size()); ++i) layout.grids[i] = ToTwips(*GridOfPage(window, i));
  layout.helpFrame = ToTwips(*window.HelpFrame());
  layout.helpText = ToTwips(*window.HelpText());
  return layout;
}

void ApplyPages(MainWindow& window, const MainLayout& layout) {
  for (int i = 0; i < int(layout.pages.size()); ++i) {
    QWidget* page = window.Page(i);
    if (!page) continue;
    Apply(*page, *layout.pages[i]);
    page->setVisible(page == window.CurrentPage());
  }
  for (int i = 0; i < int(layout.grids.size()); ++i) Apply(*GridOfPage(window, i), *layout.grids[i]);
  // Each bar runs above its grid.
  const QWidget& grid = *window.GridHost();
  window.RecordBar()->setGeometry(0, 0, window.Page(kRecordsPage)->width(), grid.y());
  window.ProfileBar()->setGeometry(0, 0, window.Page(kProfilesPage)->width(),
                                   window.ProfileGridHost()->y());
}

void ApplyHelp(MainWindow& window, MainLayout& layout) {
  QWidget& helpFrame = *window.HelpFrame();
  layout.helpFrame.top = 0;
  layout.helpFrame.width = kHelpFrameWidth;
  layout.helpFrame.height = ToTwipsY(helpFrame.sizeHint().height(), &helpFrame);
  Apply(helpFrame, layout.helpFrame);
  layout.helpText.left = 0;
  layout.helpText.top = 0;
  Apply(*window.HelpText(), layout.helpText);
}

}  // namespace

void LayoutMainWindow(MainWindow& window) {
  if (window.isMinimized()) return;  // every length would come out negative
  QWidget& tabStrip = *window.TabStrip();
  MainLayout layout = CurrentLayout(window);

  // The window's outer size, as the arithmetic counts it (title and menu included).
  const QRect outer = window.frameGeometry();
  FitMainLayout(ToTwipsX(outer.width(), &window), ToTwipsY(outer.height(), &window), layout);

  Apply(tabStrip, layout.tabStrip);
  QLabel& status = *window.StatusLabel();
  status.move(ToPixelsX(layout.status.left, &window), ToPixelsY(layout.status.top, &window));
  status.resize(tabStrip.width(), status.sizeHint().height());
  window.TabBar()->setGeometry(0, 0, tabStrip.width(), window.TabBar()->sizeHint().height());
  ApplyPages(window, layout);
  ApplyHelp(window, layout);
}

QSize MinimumMainWindowSize(const MainWindow& w) {
  // Widest: a bar of search boxes and buttons, or the help commands beside the manual.
  const int barWidth = std::max(w.RecordBar()->minimumSizeHint().width(),
                                w.ProfileBar()->minimumSizeHint().width());
  const int pageWidth = std::max(ToTwipsX(barWidth, &w),
                                 kHelpTextMinimumWidth + kHelpFrameGap + kHelpFrameWidth);
  // Tallest: a grid below its bar, or the help commands.
  const int gridTop = ToTwipsY(w.GridHost()->y(), &w);
  const int pageHeight = std::max(gridTop + kGridMinimumHeight,
                                  ToTwipsY(w.HelpFrame()->sizeHint().height(), &w));
  const TwipsSize outer = WindowSizeForPages(pageWidth, pageHeight, CurrentLayout(w));
  // The arithmetic counts the frame in; the minimum is of the window within it.
  const QSize frame = w.frameGeometry().size() - w.size();
  return QSize(ToPixelsX(outer.width, &w) - frame.width(), ToPixelsY(outer.height, &w) - frame.height());
}

}  // namespace quenlo
