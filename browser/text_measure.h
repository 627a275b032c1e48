// How the grid's width fit learns the width of a text in the window's font.
#pragma once

#include <QString>

namespace quenlo {

class TextMeasure {
 public:
  virtual ~TextMeasure() = default;
  // Width of text in twips (1/1440 inch).
  virtual double WidthTwips(const QString& text) const = 0;
};

// A measure without a font, for fills that no window shows (the command
// line): 120 twips per narrow character, 240 per wide (CJK) one.
class CharCountMeasure : public TextMeasure {
 public:
  double WidthTwips(const QString& text) const override;
};

}  // namespace quenlo
