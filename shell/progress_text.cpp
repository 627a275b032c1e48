#include "shell/progress_text.h"

#include "shell/duration_format.h"

#include <QDateTime>
#include <cmath>

namespace quenlo {

qint64 ProgressText::SystemSeconds() { return QDateTime::currentSecsSinceEpoch(); }

ProgressText::ProgressText(Clock clock) : clock_(std::move(clock)) {}

void ProgressText::Begin(const QString& caption, int total, int& start) {
  caption_ = caption;
  total_ = total;
  if (start < 0) start = position_;
  position_ = start;
  started_ = clock_();
}

double ProgressText::Fraction() const {
  return static_cast<double>(position_) / std::max(total_, 1);
}

ProgressText::StepTexts ProgressText::Step(int count, const QString& unit) {
  if (total_ < 1) total_ = 1;
  const qint64 done = static_cast<qint64>(position_) + count;
  // Truncated to three decimals, so the display moves in tenths of a percent.
  const double f = std::floor(static_cast<double>(done) / total_ * 1000) / 1000;

  StepTexts texts;
  texts.percent = PercentText(f);
  if (!unit.isEmpty()) {
    if (unit.toLower() != QLatin1String("pages")) {
      caption_ = unit;
      texts.caption = unit;
    } else if (f >= 0.001) {
      const qint64 elapsed = clock_() - started_;
      const qint64 estimate = static_cast<qint64>(std::nearbyint(elapsed / f));
      texts.times = FormatDuration(elapsed) + u'/' + FormatDuration(estimate - elapsed) + u'/' +
                    FormatDuration(estimate);
      texts.counts = QStringLiteral("(%1/%2)").arg(done).arg(total_);
    }
  }
  position_ = static_cast<int>(done);
  return texts;
}

QString PercentText(double fraction) { return QString::number(fraction * 100, 'g', 15) + u'%'; }

}  // namespace quenlo
