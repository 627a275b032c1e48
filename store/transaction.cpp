// DbTransaction as an SQLite savepoint: it begins a transaction when none is
// open and nests inside one that is.
#include <sqlite3.h>

#include "store/connection_pool.h"
#include "store/database.h"
#include "store/db_error.h"

namespace quenlo {

DbTransaction::DbTransaction() = default;

DbStatus DbTransaction::Begin() {
  static int serial = 0;
  if (open_) return {};
  QString reason;
  connection_ = AcquireSharedConnection(&reason);
  if (!connection_) return DbStatus::ConnectFailed(reason);
  const QString savepoint = QStringLiteral("quenlo_batch_%1").arg(++serial);
  try {
    connection_->Execute("SAVEPOINT " + savepoint);
  } catch (const DbError& error) {
    return DbStatus::Failed(QString::fromUtf8(error.what()));
  }
  savepoint_ = savepoint;
  open_ = true;
  return {};
}

DbTransaction::~DbTransaction() {
  if (!open_) return;
  const QByteArray undo = ("ROLLBACK TO " + savepoint_ + "; RELEASE " + savepoint_).toUtf8();
  sqlite3_exec(connection_->Handle(), undo.constData(), nullptr, nullptr, nullptr);
}

DbStatus DbTransaction::Commit() {
  if (!open_) return {};
  try {
    connection_->Execute("RELEASE " + savepoint_);
  } catch (const DbError& error) {
    return DbStatus::Failed(QString::fromUtf8(error.what()));
  }
  open_ = false;
  return {};
}

}  // namespace quenlo
