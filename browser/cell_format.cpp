#include "browser/cell_format.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <cmath>

namespace quenlo {

namespace {

// The stored "no date" value.
const QDate kNoDate(1900, 1, 1);

QString FormatHundredths(double value) {
  // nearbyint follows the default rounding mode: halves go to the even neighbour.
  const double rounded = std::nearbyint(value * 100.0) / 100.0;
  return QString::number(rounded == 0.0 ? 0.0 : rounded, 'f', QLocale::FloatingPointShortest);
}

QString FormatDate(const QDate& date) {
  return date == kNoDate ? QString() : date.toString(QStringLiteral("yyyy.MM.dd"));
}

}  // namespace

QString BoolMark(const QVariant& value) { return value.toBool() ? QStringLiteral("√") : QString(); }

QString FormatCellValue(const QVariant& value) {
  switch (value.typeId()) {
    case QMetaType::Double:
      return FormatHundredths(value.toDouble());
    case QMetaType::QDate:
      return FormatDate(value.toDate());
    case QMetaType::QDateTime: {
      const QDateTime stamp = value.toDateTime();
      if (stamp == QDateTime(kNoDate, QTime(0, 0))) return QString();
      return stamp.date().toString(QStringLiteral("yyyy.MM.dd"));
    }
    case QMetaType::Bool:
      return BoolMark(value);
    default:
      return value.toString();
  }
}

}  // namespace quenlo
