#include "store/db_status.h"

namespace quenlo {

DbStatus::DbStatus(QString message, QString reason)
    : ok_(false), message_(std::move(message)), reason_(std::move(reason)) {}

DbStatus DbStatus::ConnectFailed(const QString& reason) {
  const QString message = QStringLiteral("无法建立数据库连接！");
  return {message, reason.isEmpty() ? message : reason};
}

DbStatus DbStatus::OpenFailed(const QString& shownSql, const QString& reason) {
  return {QStringLiteral("数据库打开错误(") + shownSql + QStringLiteral(")！"), reason};
}

DbStatus DbStatus::Failed(const QString& reason) { return {reason, reason}; }

}  // namespace quenlo
