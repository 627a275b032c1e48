// DbTransaction: the outermost one is a write transaction from its first
// statement (BEGIN IMMEDIATE), nested ones are savepoints inside it.
//
// Taking the write lock at the start is what lets two processes share the
// base: a deferred transaction that has read first cannot be granted the
// lock once another process has written meanwhile, and fails at once
// instead of waiting. Asking first, the second writer simply waits its turn.
#include <sqlite3.h>

#include "store/connection_pool.h"
#include "store/database.h"
#include "store/db_error.h"

namespace quenlo {
namespace {

DbStatus Run(ConnectionImpl& connection, const QString& sql) {
  try {
    connection.Execute(sql);
  } catch (const DbError& error) {
    return DbStatus::Failed(QString::fromUtf8(error.what()));
  }
  return {};
}

}  // namespace

DbTransaction::DbTransaction() = default;

DbStatus DbTransaction::Begin() {
  static int serial = 0;
  if (open_) return {};
  QString reason;
  connection_ = AcquireSharedConnection(&reason);
  if (!connection_) return DbStatus::ConnectFailed(reason);
  const bool outermost = sqlite3_get_autocommit(connection_->Handle()) != 0;
  const QString savepoint = QStringLiteral("quenlo_batch_%1").arg(++serial);
  if (const DbStatus begun =
          Run(*connection_, outermost ? "BEGIN IMMEDIATE" : "SAVEPOINT " + savepoint);
      !begun.Ok()) {
    return begun;
  }
  savepoint_ = outermost ? QString() : savepoint;  // none: this one ends the transaction
  open_ = true;
  return {};
}

DbTransaction::~DbTransaction() {
  if (!open_) return;
  const QString undo =
      savepoint_.isEmpty() ? "ROLLBACK" : "ROLLBACK TO " + savepoint_ + "; RELEASE " + savepoint_;
  sqlite3_exec(connection_->Handle(), undo.toUtf8().constData(), nullptr, nullptr, nullptr);
}

DbStatus DbTransaction::Commit() {
  if (!open_) return {};
  const DbStatus kept =
      Run(*connection_, savepoint_.isEmpty() ? "COMMIT" : "RELEASE " + savepoint_);
  if (kept.Ok()) open_ = false;
  return kept;
}

}  // namespace quenlo
