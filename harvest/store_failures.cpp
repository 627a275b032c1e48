#include "harvest/store_failures.h"

#include "ports/messenger.h"

#include <QDir>

namespace quenlo {

void ReportStoreFailure(HarvestTally& tally, const QString& page, const DbStatus& status) {
  ShowMessage(QStringLiteral("保存下载结果失败：") + page + QStringLiteral("\r\n") +
              status.Message() + QStringLiteral("\r\n") + kHarvestEndedNote);
  tally.storageFailure =
      QStringLiteral("results could not be stored in the record base (%1)").arg(status.Reason());
}

void ReportWorkFolderFailure(HarvestTally& tally, const QString& folder) {
  const QString shown = QDir::toNativeSeparators(folder);
  ShowMessage(QStringLiteral("工作目录已满或无法写入，下载结果无法保存：\r\n") + shown +
              QStringLiteral("\r\n") + kHarvestEndedNote);
  tally.storageFailure =
      QStringLiteral("the work folder %1 takes no more result files (full or not writable)")
          .arg(shown);
}

}  // namespace quenlo
