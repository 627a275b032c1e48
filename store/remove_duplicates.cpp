// DbRemoveDuplicates: of every key, the row first in (key, order) order stays.
// Walks the key-ordered rows like the record-by-record original, but reads
// only row ids and keys and deletes inside one transaction, so tens of
// thousands of rows take a fraction of a second.
#include <sqlite3.h>

#include <optional>
#include <vector>

#include "ports/messenger.h"
#include "store/connection_pool.h"
#include "store/database.h"
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

void DbRemoveDuplicates(const QString& table, const QString& keyColumn,
                        const QString& orderColumn) {
  const QString shownSql = "SELECT * FROM " + table + " ORDER BY " + keyColumn + "," + orderColumn;
  if (!IsKnownColumn(table, keyColumn) || !IsKnownColumn(table, orderColumn)) {
    return ShowMessage(QStringLiteral("数据库打开错误(") + shownSql + QStringLiteral(")！"));
  }
  QString reason;
  const std::shared_ptr<ConnectionImpl> connection = AcquireSharedConnection(&reason);
  if (!connection) {
    return ShowMessage(QStringLiteral("数据库打开错误(") + shownSql + QStringLiteral(")！"));
  }
  sqlite3* db = connection->Handle();
  try {
    DbTransaction transaction;
    const QString orderedSql = "SELECT rowid, " + keyColumn + " FROM " + table + " ORDER BY " +
                               keyColumn + "," + orderColumn + ",rowid";
    DeleteRows(db, table, RepeatedRows(db, orderedSql));
    transaction.Commit();
  } catch (const DbError&) {
    // The transaction has undone any deletions: the rows are all there as before.
    ShowMessage(QStringLiteral("数据库打开错误(") + shownSql + QStringLiteral(")！"));
  }
}

}  // namespace quenlo
