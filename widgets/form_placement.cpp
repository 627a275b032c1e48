#include "widgets/form_placement.h"

#include <cmath>

namespace quenlo {

int TaskbarHeightTwips(int screenHeightTwips, double twipsPerPixelY, int workAreaBottomPixels) {
  const double pixels = screenHeightTwips / twipsPerPixelY - workAreaBottomPixels;
  return static_cast<int>(std::nearbyint(pixels * twipsPerPixelY));
}

TwipsPoint CenteredPosition(int screenWidth, int screenHeight, int formWidth, int formHeight,
                            int taskbarHeight) {
  return {(screenWidth - formWidth) / 2, (screenHeight - formHeight - taskbarHeight) / 2};
}

}  // namespace quenlo
