// Text widths in a widget's font, in twips at the widget's logical DPI,
// including the margins an item view draws around a cell's text.
#pragma once

#include <QFontMetricsF>
#include <vector>

#include "browser/text_measure.h"

class QWidget;

namespace quenlo {

class FontTextMeasure : public TextMeasure {
 public:
  explicit FontTextMeasure(const QWidget& widget);
  // The sum of the characters' advances: a width fit measures some 350,000
  // cells, and shaping each one would take seconds. Texts with characters
  // outside the basic plane are shaped whole.
  double WidthTwips(const QString& text) const override;

 private:
  double CharAdvance(char16_t c) const;

  QFontMetricsF metrics_;
  double twips_per_pixel_;
  double padding_pixels_;
  mutable std::vector<float> advances_;  // per UTF-16 unit; negative: not measured yet
};

}  // namespace quenlo
