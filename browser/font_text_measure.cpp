#include "browser/font_text_measure.h"

#include <QStyle>
#include <QWidget>

namespace quenlo {

namespace {

// The room an item view leaves either side of a cell's text (and one pixel
// for rounding), so that a fitted text is drawn whole rather than elided.
double CellTextPaddingPixels(const QWidget& widget) {
  const int margin = widget.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &widget);
  return 2.0 * (margin + 1) + 1;
}

}  // namespace

FontTextMeasure::FontTextMeasure(const QWidget& widget)
    : metrics_(widget.font(), &widget),
      twips_per_pixel_(1440.0 / widget.logicalDpiX()),
      padding_pixels_(CellTextPaddingPixels(widget)),
      advances_(0x10000, -1.0f) {}

double FontTextMeasure::CharAdvance(char16_t c) const {
  float& advance = advances_[c];
  if (advance < 0) advance = static_cast<float>(metrics_.horizontalAdvance(QChar(c)));
  return advance;
}

double FontTextMeasure::WidthTwips(const QString& text) const {
  double pixels = 0;
  for (QChar c : text) {
    if (c.isSurrogate()) {
      return (metrics_.horizontalAdvance(text) + padding_pixels_) * twips_per_pixel_;
    }
    pixels += CharAdvance(c.unicode());
  }
  return (pixels + padding_pixels_) * twips_per_pixel_;
}

}  // namespace quenlo
