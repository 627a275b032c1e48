#include "widgets/form_placement.h"

#include <gtest/gtest.h>

namespace quenlo {
namespace {

TEST(TaskbarAndCentring, PlaceAFormAboveABottomTaskbar) {
  // 1024 x 768 pixels at 15 twips per pixel, a 30-pixel taskbar at the bottom.
  const int taskbar = TaskbarHeightTwips(11520, 15.0, 738);
  EXPECT_EQ(taskbar, 450);
  const TwipsPoint at = CenteredPosition(15360, 11520, 6000, 3000, taskbar);
  EXPECT_EQ(at.left, 4680);
  EXPECT_EQ(at.top, 4035);
  EXPECT_EQ(TaskbarHeightTwips(11520, 15.0, 768), 0);  // taskbar elsewhere
}

}  // namespace
}  // namespace quenlo
