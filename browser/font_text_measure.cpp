#include "browser/font_text_measure.h"

#include <QWidget>

namespace quenlo {

FontTextMeasure::FontTextMeasure(const QWidget& widget)
    : metrics_(widget.font(), &widget), twips_per_pixel_(1440.0 / widget.logicalDpiX()) {}

double FontTextMeasure::WidthTwips(const QString& text) const {
  return metrics_.horizontalAdvance(text) * twips_per_pixel_;
}

}  // namespace quenlo
