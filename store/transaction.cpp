// DbTransaction as an SQLite savepoint: it begins a transaction when none is
// open and nests inside one that is.
#include <sqlite3.h>

#include "store/connection_pool.h"
#include "store/database.h"

namespace quenlo {

DbTransaction::DbTransaction() {
  static int serial = 0;
  QString reason;
  connection_ = AcquireSharedConnection(&reason);
  // Reported by the caller, as DbExecute's failures are.
  if (!connection_) throw DbError(QStringLiteral("无法建立数据库连接！").toStdString());
  savepoint_ = QStringLiteral("quenlo_batch_%1").arg(++serial);
  connection_->Execute("SAVEPOINT " + savepoint_);
  open_ = true;
}

DbTransaction::~DbTransaction() {
  if (!open_) return;
  const QByteArray undo = ("ROLLBACK TO " + savepoint_ + "; RELEASE " + savepoint_).toUtf8();
  sqlite3_exec(connection_->Handle(), undo.constData(), nullptr, nullptr, nullptr);
}

void DbTransaction::Commit() {
  if (!open_) return;
  connection_->Execute("RELEASE " + savepoint_);
  open_ = false;
}

}  // namespace quenlo
