// The six database operations over the shared keyed connection.
#include <QRegularExpression>

#include "store/connection_pool.h"
#include "store/database.h"
#include "store/db_error.h"
#include "store/sqlite_statement.h"
#include "store/store_access.h"

namespace quenlo {
namespace {

// A value as it would stand written into the statement.
QString AsSqlLiteral(const QVariant& value) {
  if (value.isNull()) return QStringLiteral("Null");
  const auto type = value.metaType().id();
  if (type == QMetaType::Int || type == QMetaType::LongLong || type == QMetaType::Double ||
      type == QMetaType::UInt || type == QMetaType::ULongLong)
    return value.toString();
  QString text = value.toString();
  return u'\'' + text.replace(u'\'', QStringLiteral("''")) + u'\'';
}

// The statement with its bound values in place of the markers, as the user
// would have written it; only for showing.
QString SqlAsShown(const QString& sql, const QVariantList& params) {
  QString shown;
  qsizetype next = 0;
  bool inLiteral = false;
  for (const QChar c : sql) {
    if (c == u'\'') inLiteral = !inLiteral;
    if (c == u'?' && !inLiteral && next < params.size()) {
      shown += AsSqlLiteral(params[next++]);
      continue;
    }
    shown += c;
  }
  return shown;
}

DbStatus OpenFailed(const QString& sql, const QVariantList& params, const QString& reason) {
  return DbStatus::OpenFailed(SqlAsShown(sql, params), reason);
}

// The callers' SQL is written for the old engine, which accepted "DELETE * FROM".
QString ForThisEngine(const QString& sql) {
  static const QRegularExpression deleteStar(QStringLiteral(R"(^(\s*DELETE)\s+\*\s+(FROM\b))"),
                                             QRegularExpression::CaseInsensitiveOption);
  QString adapted = sql;
  return adapted.replace(deleteStar, QStringLiteral("\\1 \\2"));
}

}  // namespace

Connection::Connection() = default;
Connection::~Connection() = default;
bool Connection::IsOpen() const { return impl_ != nullptr; }

DbStatus DbConnect(Connection& connection) {
  std::shared_ptr<ConnectionImpl>& impl = ConnectionAccess::Impl(connection);
  impl.reset();
  QString reason;
  impl = AcquireSharedConnection(&reason);
  return impl ? DbStatus() : DbStatus::ConnectFailed(reason);
}

DbStatus DbCheckConnection() {
  QString reason;
  return AcquireSharedConnection(&reason) ? DbStatus() : DbStatus::ConnectFailed(reason);
}

DbStatus DbOpenRecordset(Connection& connection, Recordset& records, const QString& sql,
                         const QVariantList& params) {
  DbCloseRecordset(connection, records);
  QString reason;
  std::shared_ptr<ConnectionImpl> shared = AcquireSharedConnection(&reason);
  if (!shared) return OpenFailed(sql, params, reason);
  ConnectionAccess::Impl(connection) = shared;
  try {
    RecordsetAccess::Impl(records) =
        std::make_unique<RecordsetImpl>(shared, ForThisEngine(sql), params);
  } catch (const DbError& error) {
    return OpenFailed(sql, params, QString::fromUtf8(error.what()));
  }
  records.MoveFirst();
  return {};
}

void DbCloseRecordset(Connection& connection, Recordset& records) {
  RecordsetAccess::Impl(records).reset();
  ConnectionAccess::Impl(connection).reset();
}

DbStatus DbExecute(const QString& sql, const QVariantList& params) {
  QString reason;
  const std::shared_ptr<ConnectionImpl> shared = AcquireSharedConnection(&reason);
  if (!shared) return DbStatus::ConnectFailed(reason);
  try {
    shared->Execute(ForThisEngine(sql), params);
  } catch (const DbError& error) {
    return DbStatus::Failed(QString::fromUtf8(error.what()));
  }
  return {};
}

DbStatus DbLookup(const QString& table, const QVariant& key, const QString& keyColumn,
                  const QString& valueColumn, QVariant* value) {
  *value = QString(QLatin1String(""));
  const QString sql = "SELECT * FROM " + table + " WHERE " + keyColumn + "=?";
  if (!IsKnownColumn(table, keyColumn) || !IsKnownColumn(table, valueColumn)) {
    return OpenFailed(sql, {key}, QStringLiteral("no such column"));
  }
  Connection connection;
  Recordset records;
  const DbStatus opened = DbOpenRecordset(connection, records, sql, {key});
  if (records.RecordCount() >= 1) *value = records.Value(valueColumn);
  DbCloseRecordset(connection, records);
  return opened;
}

}  // namespace quenlo
