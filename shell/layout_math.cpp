#include "shell/layout_math.h"

#include <cstddef>

namespace quenlo {
namespace {

// Assigns a length unless it is negative: such an assignment is skipped.
void SetLength(int& target, int value) {
  if (value >= 0) target = value;
}

}  // namespace

void FitMainLayout(int windowWidth, int windowHeight, MainLayout& l) {
  SetLength(l.tabStrip.width, windowWidth - 2 * l.tabStrip.left - 100);
  SetLength(l.tabStrip.height, windowHeight - l.tabStrip.top - 1100);
  l.status.top = l.tabStrip.top + l.tabStrip.height + 60;
  l.status.left = 30;

  for (auto& page : l.pages) {
    if (!page) continue;
    page->left = 40;
    SetLength(page->width, l.tabStrip.width - 2 * page->left - 30);
    page->top = 350;
    SetLength(page->height, l.tabStrip.height - page->top - 60);
  }

  // Grid i takes its size from page i + 1, which is as large as page i.
  for (std::size_t i = 0; i < l.grids.size(); ++i) {
    auto& grid = l.grids[i];
    const auto& sizePage = i + 1 < l.pages.size() ? l.pages[i + 1] : std::nullopt;
    if (!grid || !sizePage) continue;
    grid->left = -10;
    SetLength(grid->width, sizePage->width + 10);
    grid->top = 380;
    SetLength(grid->height, sizePage->height - grid->top);
  }

  if (const auto& helpPage = l.pages[1]) {
    l.helpFrame.left = helpPage->width - 1760;
    SetLength(l.helpText.height, helpPage->height);
    SetLength(l.helpText.width, helpPage->width - 1740);
  }
}

TwipsSize WindowSizeForPages(int pageWidth, int pageHeight, const MainLayout& layout) {
  // The pages follow the window one to one: fit a large window, then take
  // off what the pages have to spare.
  constexpr int kLarge = 1000000;
  MainLayout probe = layout;
  probe.pages[0] = TwipsRect{};
  FitMainLayout(kLarge, kLarge, probe);
  return {kLarge - probe.pages[0]->width + pageWidth, kLarge - probe.pages[0]->height + pageHeight};
}

}  // namespace quenlo
