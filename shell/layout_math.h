// The main window's layout, worked out in twips (1/1440 inch) without any
// widget, so the arithmetic can be checked alone.
#pragma once

#include <array>
#include <optional>

namespace quenlo {

struct TwipsRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// The controls the layout moves. Pages and grids that do not exist are nullopt.
struct MainLayout {
  TwipsRect tabStrip;                          // SST
  TwipsRect status;                            // LBL
  std::array<std::optional<TwipsRect>, 4> pages;  // Pic(0..3)
  std::array<std::optional<TwipsRect>, 2> grids;  // MSF(0..1)
  TwipsRect helpFrame;                         // FRM
  TwipsRect helpText;                          // THelp
};

// Fits the controls to a window of the given outer size. A length that would
// come out negative (a minimised or tiny window) is left as it was.
void FitMainLayout(int windowWidth, int windowHeight, MainLayout& layout);

}  // namespace quenlo
