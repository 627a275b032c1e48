// Where a form stands on the screen, worked out in twips (1/1440 inch)
// without any widget, so the arithmetic can be checked alone.
#pragma once

namespace quenlo {

inline constexpr int kTwipsPerInch = 1440;

// Height of a taskbar at the bottom of the screen, in twips (0 elsewhere).
int TaskbarHeightTwips(int screenHeightTwips, double twipsPerPixelY, int workAreaBottomPixels);

struct TwipsPoint {
  int left = 0;
  int top = 0;
};

// Where a form goes to stand centred on the screen above the taskbar.
TwipsPoint CenteredPosition(int screenWidth, int screenHeight, int formWidth, int formHeight,
                            int taskbarHeight);

}  // namespace quenlo
