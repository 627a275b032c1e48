#include "browser/font_text_measure.h"

#include <QWidget>

namespace quenlo {

FontTextMeasure::FontTextMeasure(const QWidget& widget)
    : metrics_(widget.font(), &widget),
      twips_per_pixel_(1440.0 / widget.logicalDpiX()),
      advances_(0x10000, -1.0f) {}

double FontTextMeasure::CharAdvance(char16_t c) const {
  float& advance = advances_[c];
  if (advance < 0) advance = static_cast<float>(metrics_.horizontalAdvance(QChar(c)));
  return advance;
}

double FontTextMeasure::WidthTwips(const QString& text) const {
  double pixels = 0;
  for (QChar c : text) {
    if (c.isSurrogate()) return metrics_.horizontalAdvance(text) * twips_per_pixel_;
    pixels += CharAdvance(c.unicode());
  }
  return pixels * twips_per_pixel_;
}

}  // namespace quenlo
