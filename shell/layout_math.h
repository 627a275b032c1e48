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
  TwipsRect tabStrip;                             // the tab bar above the pages
  TwipsRect status;                               // the status label under the tab bar
  std::array<std::optional<TwipsRect>, 4> pages;  // the tab pages, records first
  std::array<std::optional<TwipsRect>, 2> grids;  // grid hosts: the record grid is grid 0
  TwipsRect helpFrame;                            // the help page's command buttons
  TwipsRect helpText;                             // the help page's manual
};

// Fits the controls to a window of the given outer size. A length that would
// come out negative (a minimised or tiny window) is left as it was.
void FitMainLayout(int windowWidth, int windowHeight, MainLayout& layout);

struct TwipsSize {
  int width = 0;
  int height = 0;
};

// The outer window size at which FitMainLayout makes the pages pageWidth by
// pageHeight, the tab strip standing where layout has it.
TwipsSize WindowSizeForPages(int pageWidth, int pageHeight, const MainLayout& layout);

}  // namespace quenlo
