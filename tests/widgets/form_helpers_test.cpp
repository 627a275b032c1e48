#include "widgets/form_helpers.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <ctime>

namespace quenlo {
namespace {

TEST(WaitFormClosed, ReturnsAtOnceWithoutSuchWindow) {
  QElapsedTimer timer;
  timer.start();
  WaitFormClosed(QStringLiteral("no window has this caption"));
  EXPECT_LT(timer.elapsed(), 50);
}

TEST(WaitFormClosed, WaitsForTheWindowWithoutSpinning) {
  QWidget form;
  form.setWindowTitle(QStringLiteral("查询条件"));
  form.show();
  EXPECT_TRUE(IsFormOpen(QStringLiteral("查询条件")));
  EXPECT_FALSE(IsFormOpen(QStringLiteral("查询")));  // exact captions only

  QTimer::singleShot(400, &form, &QWidget::close);
  QElapsedTimer wall;
  wall.start();
  const std::clock_t cpuBefore = std::clock();
  WaitFormClosed(QStringLiteral("查询条件"));
  const double cpuMs = 1000.0 * double(std::clock() - cpuBefore) / CLOCKS_PER_SEC;

  EXPECT_FALSE(IsFormOpen(QStringLiteral("查询条件")));
  EXPECT_GE(wall.elapsed(), 350);
  EXPECT_LT(cpuMs, wall.elapsed() * 0.5);  // a busy loop would use it all
}

TEST(CenterForm, CentresHorizontallyAndKeepsTheSize) {
  QWidget form;
  form.resize(ToPixelsX(6000, &form), ToPixelsY(3000, &form));
  const QSize size = form.size();
  CenterForm(form);
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(form.size(), size);
  EXPECT_NEAR(form.x() + form.width() / 2.0, screen.center().x(), 2);
  EXPECT_NEAR(form.y() + form.height() / 2.0 + ToPixelsY(TaskbarHeight(), &form) / 2.0,
              screen.center().y(), 2);
}

TEST(SetTopMost, KeepsAShownWindowShownAndOnTop) {
  QWidget form;
  form.show();
  SetTopMost(form);
  EXPECT_TRUE(form.isVisible());
  EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
}

}  // namespace
}  // namespace quenlo
