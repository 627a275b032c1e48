#include "widgets/form_helpers.h"

#include "widgets/form_placement.h"

#include <QApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <cmath>

namespace quenlo {
namespace {

QScreen* ScreenOf(const QWidget* widget) {
  QScreen* screen = widget ? widget->screen() : nullptr;
  return screen ? screen : QGuiApplication::primaryScreen();
}

double TwipsPerPixel(const QWidget* widget, bool vertical) {
  const QScreen* screen = ScreenOf(widget);
  if (!screen) return 15.0;
  const double dpi = vertical ? screen->logicalDotsPerInchY() : screen->logicalDotsPerInchX();
  return dpi > 0 ? kTwipsPerInch / dpi : 15.0;
}

}  // namespace

double TwipsPerPixelX(const QWidget* widget) { return TwipsPerPixel(widget, false); }
double TwipsPerPixelY(const QWidget* widget) { return TwipsPerPixel(widget, true); }

int ToPixelsX(int twips, const QWidget* w) { return int(std::lround(twips / TwipsPerPixelX(w))); }
int ToPixelsY(int twips, const QWidget* w) { return int(std::lround(twips / TwipsPerPixelY(w))); }
int ToTwipsX(int pixels, const QWidget* w) { return int(std::lround(pixels * TwipsPerPixelX(w))); }
int ToTwipsY(int pixels, const QWidget* w) { return int(std::lround(pixels * TwipsPerPixelY(w))); }

int TaskbarHeight() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return 0;
  const double tpp = TwipsPerPixelY();
  const int screenHeightTwips = int(std::lround(screen->geometry().height() * tpp));
  // The work area's bottom edge, exclusive, as the window system reports it.
  const int workBottom = screen->availableGeometry().bottom() + 1 - screen->geometry().top();
  return std::max(0, TaskbarHeightTwips(screenHeightTwips, tpp, workBottom));
}

void CenterForm(QWidget& form) {
  const QScreen* screen = ScreenOf(&form);
  if (!screen) return;
  const QRect area = screen->geometry();
  const QRect frame = form.frameGeometry();
  const TwipsPoint at = CenteredPosition(
      ToTwipsX(area.width(), &form), ToTwipsY(area.height(), &form), ToTwipsX(frame.width(), &form),
      ToTwipsY(frame.height(), &form), TaskbarHeight());
  form.move(area.left() + ToPixelsX(at.left, &form), area.top() + ToPixelsY(at.top, &form));
}

void SetTopMost(QWidget& form) {
  const bool shown = form.isVisible();
  form.setWindowFlag(Qt::WindowStaysOnTopHint, true);
  if (shown) form.show();  // changing the flags hides a shown window
}

bool IsFormOpen(const QString& caption) {
  const QWidgetList windows = QApplication::topLevelWidgets();
  return std::any_of(windows.begin(), windows.end(), [&](const QWidget* w) {
    return w->isVisible() && w->windowTitle() == caption;
  });
}

void WaitFormClosed(const QString& caption) {
  if (!IsFormOpen(caption)) return;
  // A local loop sleeps between events; the timer looks at the windows a few
  // times a second, whatever closed them.
  QEventLoop loop;
  QTimer check;
  QObject::connect(&check, &QTimer::timeout, &loop, [&] {
    if (!IsFormOpen(caption)) loop.quit();
  });
  check.start(50);
  loop.exec();
}

}  // namespace quenlo
