#include "harvest/harvest_report.h"

#include <QDir>
#include <algorithm>

namespace quenlo {

namespace {

QString ShownName(const FailedPage& page) {
  return page.member.isEmpty() ? QStringLiteral("搜索结果第 %1 页").arg(page.searchPage)
                               : QStringLiteral("会员 %1").arg(page.member);
}

}  // namespace

QString TallyText(const HarvestTally& tally) {
  return QStringLiteral("读取 %1 页，重试 %2 页，失败 %3 页")
      .arg(tally.read)
      .arg(tally.retriedPages)
      .arg(tally.failed.size());
}

QString FailedPagesMessage(const HarvestTally& tally, const QString& logPath) {
  if (tally.failed.empty()) return {};
  const int failed = int(tally.failed.size());
  QString text = QStringLiteral("有 %1 页未能下载（其余已保存，这些留待下次下载）：").arg(failed);
  const int shown = std::min(failed, kFailuresShownInWindow);
  for (int i = 0; i < shown; ++i) {
    const FailedPage& page = tally.failed[size_t(i)];
    text += QStringLiteral("\r\n") + ShownName(page) + QStringLiteral("：") + FailureText(page);
  }
  if (failed > shown) text += QStringLiteral("\r\n……另有 %1 页").arg(failed - shown);
  if (!logPath.isEmpty())
    text += QStringLiteral("\r\n详见下载日志：") + QDir::toNativeSeparators(logPath);
  return text;
}

}  // namespace quenlo
