#include "harvest/store_failures.h"

#include "ports/messenger.h"

namespace quenlo {

void StoreFailures::Report(const QString& member, const QString& error) {
  if (++count_ == 1)
    ShowMessage(QStringLiteral("保存下载结果失败：") + member + QStringLiteral("\r\n") + error);
}

void StoreFailures::Finish() {
  if (count_ > 1)
    ShowMessage(QStringLiteral("另有 %1 条下载结果未能保存。").arg(count_ - 1));
}

}  // namespace quenlo
