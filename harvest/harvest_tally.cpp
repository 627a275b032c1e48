#include "harvest/harvest_tally.h"

namespace quenlo {

QString PageName(const FailedPage& page) {
  return page.member.isEmpty() ? QStringLiteral("search page %1").arg(page.searchPage)
                               : QStringLiteral("member %1").arg(page.member);
}

QString FailureText(const FailedPage& page) {
  const QString reason = QString::fromStdString(page.failure.reason);
  return page.note.isEmpty() ? reason : reason + QStringLiteral(", ") + page.note;
}

QString TallyLine(const HarvestTally& tally) {
  return QStringLiteral("%1 read, %2 retried, %3 failed for good")
      .arg(tally.read)
      .arg(tally.retriedPages)
      .arg(tally.failed.size());
}

}  // namespace quenlo
