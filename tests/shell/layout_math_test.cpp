#include "shell/layout_math.h"

#include <gtest/gtest.h>

namespace quenlo {
namespace {

MainLayout TwoPagesOneGrid(int tabLeft, int tabTop) {
  MainLayout l;
  l.tabStrip = {tabLeft, tabTop, 1000, 1000};
  l.pages[0] = TwipsRect{};
  l.pages[1] = TwipsRect{};
  l.grids[0] = TwipsRect{};
  return l;
}

TEST(FitMainLayout, WidthsFollowTheWindow) {
  MainLayout l = TwoPagesOneGrid(60, 120);
  FitMainLayout(10000, 8000, l);
  EXPECT_EQ(l.tabStrip.width, 9780);
  EXPECT_EQ(l.pages[0]->width, 9670);
  EXPECT_EQ(l.pages[1]->width, 9670);
  EXPECT_EQ(l.pages[0]->left, 40);
  EXPECT_EQ(l.grids[0]->width, 9680);
  EXPECT_EQ(l.grids[0]->left, -10);
  EXPECT_EQ(l.helpFrame.left, 9670 - 1760);
  EXPECT_EQ(l.helpText.width, 9670 - 1740);
  EXPECT_FALSE(l.pages[2].has_value());
  EXPECT_FALSE(l.grids[1].has_value());
}

TEST(FitMainLayout, HeightsFollowTheWindow) {
  MainLayout l = TwoPagesOneGrid(60, 120);
  FitMainLayout(10000, 8000, l);
  EXPECT_EQ(l.tabStrip.height, 6780);
  EXPECT_EQ(l.status.top, 6960);
  EXPECT_EQ(l.status.left, 30);
  EXPECT_EQ(l.pages[1]->top, 350);
  EXPECT_EQ(l.pages[1]->height, 6370);
  EXPECT_EQ(l.grids[0]->top, 380);
  EXPECT_EQ(l.grids[0]->height, 5990);
  EXPECT_EQ(l.helpText.height, 6370);
}

TEST(FitMainLayout, TinyWindowKeepsLengthsThatWouldTurnNegative) {
  MainLayout l = TwoPagesOneGrid(60, 120);
  FitMainLayout(10000, 8000, l);
  const MainLayout before = l;
  FitMainLayout(150, 300, l);
  EXPECT_EQ(l.tabStrip.width, before.tabStrip.width);
  EXPECT_EQ(l.tabStrip.height, before.tabStrip.height);
  EXPECT_EQ(l.pages[0]->width, before.pages[0]->width);
  EXPECT_EQ(l.grids[0]->height, before.grids[0]->height);
  EXPECT_EQ(l.helpText.width, before.helpText.width);
}

// The window size for given pages is the size FitMainLayout turns back into them.
TEST(WindowSizeForPages, IsTheSizeThatFitsThosePages) {
  const MainLayout shape = TwoPagesOneGrid(60, 120);
  const TwipsSize size = WindowSizeForPages(9670, 6370, shape);
  EXPECT_EQ(size.width, 10000);
  EXPECT_EQ(size.height, 8000);
  MainLayout l = shape;
  FitMainLayout(size.width, size.height, l);
  EXPECT_EQ(l.pages[0]->width, 9670);
  EXPECT_EQ(l.pages[0]->height, 6370);
}

}  // namespace
}  // namespace quenlo
