#include "shell/duration_format.h"

namespace quenlo {

QString FormatDuration(qint64 seconds) {
  qint64 lead = 0, hours = 0, minutes = 0, secs = 0;
  if (seconds > 0) {
    secs = seconds % 60;
    const qint64 totalMinutes = seconds / 60;
    minutes = totalMinutes % 60;
    hours = totalMinutes / 60;
    // From 60 hours on, whole 60-hour blocks move to the leading field.
    lead = hours / 60;
    hours %= 60;
  }
  QString text = QStringLiteral("%1:%2:%3:%4").arg(lead).arg(hours).arg(minutes).arg(secs);
  for (int i = 0; i < 2 && text.startsWith(QLatin1String("0:")); ++i) text.remove(0, 2);
  return text;
}

}  // namespace quenlo
