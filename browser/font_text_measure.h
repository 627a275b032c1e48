// Text widths in a widget's font, in twips at the widget's logical DPI.
#pragma once

#include <QFontMetricsF>

#include "browser/text_measure.h"

class QWidget;

namespace quenlo {

class FontTextMeasure : public TextMeasure {
 public:
  explicit FontTextMeasure(const QWidget& widget);
  double WidthTwips(const QString& text) const override;

 private:
  QFontMetricsF metrics_;
  double twips_per_pixel_;
};

}  // namespace quenlo
