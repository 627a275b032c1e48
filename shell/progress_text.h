// What the progress display shows, worked out without a window: the caption,
// the percentage, the "(done/total)" counts and the elapsed/remaining/total
// times. The window and the terminal line both draw from it.
#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace quenlo {

class ProgressText {
 public:
  // Seconds on a wall clock; tests pass their own.
  using Clock = std::function<qint64()>;
  static qint64 SystemSeconds();

  explicit ProgressText(Clock clock = &ProgressText::SystemSeconds);

  // What one step changed. Unset texts keep what they showed before.
  struct StepTexts {
    QString percent;
    std::optional<QString> caption;
    std::optional<QString> counts;  // "(new/total)"
    std::optional<QString> times;   // "elapsed/remaining/total"
  };

  // A negative start continues from the remembered position and receives it.
  void Begin(const QString& caption, int total, int& start);
  // unit "pages" (any case) asks for counts and times, an empty unit for no
  // text, any other unit becomes the caption.
  StepTexts Step(int count, const QString& unit);
  void SetPosition(int position) { position_ = position; }

  const QString& Caption() const { return caption_; }
  int Total() const { return total_; }
  int Position() const { return position_; }
  // Position over total (total taken as at least 1); may exceed 1.
  double Fraction() const;

 private:
  Clock clock_;
  QString caption_;
  int total_ = 0;
  int position_ = 0;
  qint64 started_ = 0;
};

// "45.6%": the number in its shortest form, no trailing zeros.
QString PercentText(double fraction);

}  // namespace quenlo
