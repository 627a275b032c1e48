#include "browser/text_measure.h"

namespace quenlo {

double CharCountMeasure::WidthTwips(const QString& text) const {
  double width = 0;
  for (QChar c : text) width += c.unicode() < 0x2E80 ? 120 : 240;
  return width;
}

}  // namespace quenlo
