#include "shell/version/version_text.h"

namespace quenlo {

QString FilterVersionText(const QString& text) {
  QString kept;
  kept.reserve(text.size());
  for (QChar c : text)
    if ((c >= u'0' && c <= u'9') || c == u'.') kept.append(c);
  return kept;
}

double VersionNumber(const QString& filtered) {
  qsizetype end = 0;
  bool seen_point = false;
  while (end < filtered.size()) {
    const QChar c = filtered[end];
    if (c == u'.' && !seen_point) seen_point = true;
    else if (c < u'0' || c > u'9') break;
    ++end;
  }
  bool ok = false;
  const double value = filtered.left(end).toDouble(&ok);
  return ok ? value : 0.0;
}

QString PublishedVersion(const QString& pageText) {
  const QString versionMarker = QString::fromUtf16(kVersionMarker);
  const qsizetype at = pageText.indexOf(versionMarker);
  if (at < 0) return {};
  const QString rest = pageText.mid(at + versionMarker.size());
  // The price marker must follow with at least one character between them.
  const qsizetype price = rest.indexOf(QString::fromUtf16(kPriceMarker));
  if (price < 1) return {};
  return FilterVersionText(rest.left(price));
}

}  // namespace quenlo
