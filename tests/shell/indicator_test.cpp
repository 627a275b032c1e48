#include "shell/indicator.h"

#include "widgets/form_helpers.h"

#include <gtest/gtest.h>

#include <QLabel>

namespace quenlo {
namespace {

struct IndicatorTest : ::testing::Test {
  qint64 now = 500;
  IndicatorProgress progress{[this] { return now; }};
};

TEST_F(IndicatorTest, BeginShowsTheWindowWithItsDesignedTexts) {
  int start = 0;
  progress.Begin(QStringLiteral("下载会员名"), 2000, start);
  Indicator* window = progress.Window();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(IsFormOpen(QStringLiteral("请稍侯 …")));
  EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(window->Lbl()->text(), "下载会员名");
  EXPECT_EQ(window->Percent()->text(), "0%");
  EXPECT_EQ(window->L1()->text(), "");

  progress.Step(1, QStringLiteral("pages"));
  EXPECT_EQ(window->Percent()->text(), "0%");
  EXPECT_EQ(window->L1()->text(), "");
  now += 4;
  progress.Step(1, QStringLiteral("pages"));
  EXPECT_EQ(window->Percent()->text(), "0.1%");
  EXPECT_EQ(window->L1()->text(), "(2/2000)");
  EXPECT_EQ(window->L2()->text(), "0:4/1:6:36/1:6:40");
  EXPECT_DOUBLE_EQ(window->Pic()->Drawn(), 0.001);

  progress.Step(0, QStringLiteral("正在删除地址记录……"));
  EXPECT_EQ(window->Lbl()->text(), "正在删除地址记录……");
  EXPECT_EQ(window->L1()->text(), "(2/2000)");

  progress.End();
  EXPECT_FALSE(IsFormOpen(QStringLiteral("请稍侯 …")));
  progress.End();  // closing a closed window is harmless

  // The next operation starts from the designed texts, not the last figures.
  progress.Begin(QStringLiteral("导出"), 10, start);
  window = progress.Window();
  EXPECT_EQ(window->Percent()->text(), "0%");
  EXPECT_EQ(window->L1()->text(), "");
  EXPECT_EQ(window->L2()->text(), "");
  progress.End();
}

TEST_F(IndicatorTest, StepsWithoutBeginKeepTheWindowHidden) {
  progress.Step(1, QStringLiteral("pages"));
  progress.SetPosition(3);
  ASSERT_NE(progress.Window(), nullptr);
  EXPECT_FALSE(progress.Window()->isVisible());
}

TEST_F(IndicatorTest, BarOnlyGrowsUntilTheNextBegin) {
  int start = 0;
  progress.Begin(QStringLiteral("a"), 100, start);
  progress.SetPosition(37);
  progress.SetPosition(10);
  EXPECT_DOUBLE_EQ(progress.Window()->Pic()->Drawn(), 0.37);
  progress.SetPosition(37);
  progress.End();

  start = -1;
  progress.Begin(QStringLiteral("b"), 200, start);
  EXPECT_EQ(start, 37);
  EXPECT_DOUBLE_EQ(progress.Window()->Pic()->Drawn(), 37 / 200.0);
  progress.End();
}

}  // namespace
}  // namespace quenlo
