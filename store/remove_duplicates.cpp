// DbRemoveDuplicates: of every key, the row first in (key, order) order stays.
// Walks the key-ordered rows like the record-by-record original, but reads
// only row ids and keys and deletes inside one transaction, so tens of
// thousands of rows take a fraction of a second.
#include <sqlite3.h>

#include <optional>
#include <vector>

#include "store/connection_pool.h"
#include "store/database.h"
#include "store/db_error.h"
#include "store/sqlite_statement.h"

namespace quenlo {
namespace {

// Row ids to delete: every row with a NULL key and every row whose key equals
// the key of the row kept before it. Keys compare byte for byte.
std::vector<qint64> RepeatedRows(sqlite3* db, const QString& orderedSql) {
  std::vector<qint64> repeated;
  SqliteStatement rows(db, orderedSql);
  std::optional<QByteArray> keptKey;
  while (rows.Step()) {
    const qint64 rowId = sqlite3_column_int64(rows.Handle(), 0);
    if (sqlite3_column_type(rows.Handle(), 1) == SQLITE_NULL) {
      repeated.push_back(rowId);
      continue;
    }
    const char* text = reinterpret_cast<const char*>(sqlite3_column_text(rows.Handle(), 1));
    const QByteArray key(text, sqlite3_column_bytes(rows.Handle(), 1));
    if (keptKey && *keptKey == key) {
      repeated.push_back(rowId);
    } else {
      keptKey = key;
    }
  }
  return repeated;
}

void DeleteRows(sqlite3* db, const QString& table, const std::vector<qint64>& rowIds) {
  SqliteStatement remove(db, "DELETE FROM " + table + " WHERE rowid=?");
  for (const qint64 rowId : rowIds) {
    remove.Bind({QVariant(qlonglong(rowId))});
    remove.Step();
    remove.Reset();
  }
}

}  // namespace

DbStatus DbRemoveDuplicates(const QString& table, const QString& keyColumn,
                            const QString& orderColumn) {
  const QString shownSql = "SELECT * FROM " + table + " ORDER BY " + keyColumn + "," + orderColumn;
  if (!IsKnownColumn(table, keyColumn) || !IsKnownColumn(table, orderColumn)) {
    return DbStatus::OpenFailed(shownSql, QStringLiteral("no such column"));
  }
  QString reason;
  const std::shared_ptr<ConnectionImpl> connection = AcquireSharedConnection(&reason);
  if (!connection) return DbStatus::OpenFailed(shownSql, reason);
  DbTransaction transaction;
  if (const DbStatus begun = transaction.Begin(); !begun.Ok()) {
    return DbStatus::OpenFailed(shownSql, begun.Reason());
  }
  sqlite3* db = connection->Handle();
  const QString orderedSql = "SELECT rowid, " + keyColumn + " FROM " + table + " ORDER BY " +
                             keyColumn + "," + orderColumn + ",rowid";
  try {
    DeleteRows(db, table, RepeatedRows(db, orderedSql));
  } catch (const DbError& error) {
    // The transaction undoes any deletions: the rows are all there as before.
    return DbStatus::OpenFailed(shownSql, QString::fromUtf8(error.what()));
  }
  const DbStatus committed = transaction.Commit();
  return committed.Ok() ? committed : DbStatus::OpenFailed(shownSql, committed.Reason());
}

}  // namespace quenlo
