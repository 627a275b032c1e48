// The six database operations over the shared keyed connection.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include "ports/messenger.h"
#include "store/connection_pool.h"
#include "store/database.h"
#include "store/sqlite_statement.h"
#include "store/store_access.h"

namespace quenlo {
namespace {

const QString kConnectFailedMessage = QStringLiteral("无法建立数据库连接！");

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

QString OpenFailedMessage(const QString& sql, const QVariantList& params = {}) {
  return QStringLiteral("数据库打开错误(") + SqlAsShown(sql, params) + QStringLiteral(")！");
}

QString ExecutableDirectory() {
  if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
  // Without an application object (tools, tests) ask the system instead.
  return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
}

// The callers' SQL is written for the old engine, which accepted "DELETE * FROM".
QString ForThisEngine(const QString& sql) {
  static const QRegularExpression deleteStar(QStringLiteral(R"(^(\s*DELETE)\s+\*\s+(FROM\b))"),
                                             QRegularExpression::CaseInsensitiveOption);
  QString adapted = sql;
  return adapted.replace(deleteStar, QStringLiteral("\\1 \\2"));
}

}  // namespace

QString DataDirectory() {
  const QString configured = qEnvironmentVariable("QUENLO_DATA_DIR");
  return configured.isEmpty() ? ExecutableDirectory() : configured;
}

QString DatabasePath() {
  return QDir(DataDirectory()).filePath(QString::fromLatin1(kDatabaseFileName));
}

Connection::Connection() = default;
Connection::~Connection() = default;
bool Connection::IsOpen() const { return impl_ != nullptr; }

void DbConnect(Connection& connection) {
  std::shared_ptr<ConnectionImpl>& impl = ConnectionAccess::Impl(connection);
  impl.reset();
  QString reason;
  impl = AcquireSharedConnection(&reason);
  if (!impl) ShowMessage(kConnectFailedMessage);
}

QString DbConnectionProblem() {
  QString reason;
  if (AcquireSharedConnection(&reason)) return {};
  return reason.isEmpty() ? kConnectFailedMessage : reason;
}

void DbOpenRecordset(Connection& connection, Recordset& records, const QString& sql,
                     const QVariantList& params) {
  DbCloseRecordset(connection, records);
  QString reason;
  std::shared_ptr<ConnectionImpl> shared = AcquireSharedConnection(&reason);
  if (!shared) return ShowMessage(OpenFailedMessage(sql, params));
  ConnectionAccess::Impl(connection) = shared;
  try {
    RecordsetAccess::Impl(records) =
        std::make_unique<RecordsetImpl>(shared, ForThisEngine(sql), params);
  } catch (const DbError&) {
    return ShowMessage(OpenFailedMessage(sql, params));
  }
  records.MoveFirst();
}

void DbCloseRecordset(Connection& connection, Recordset& records) {
  RecordsetAccess::Impl(records).reset();
  ConnectionAccess::Impl(connection).reset();
}

void DbExecute(const QString& sql, const QVariantList& params) {
  // No message box of its own: every caller reports the error it throws, and
  // a harvest storing hundreds of results into an unreachable base would
  // otherwise show one box for each.
  QString reason;
  const std::shared_ptr<ConnectionImpl> shared = AcquireSharedConnection(&reason);
  if (!shared) throw DbError(kConnectFailedMessage.toStdString());
  shared->Execute(ForThisEngine(sql), params);
}

QVariant DbLookup(const QString& table, const QVariant& key, const QString& keyColumn,
                  const QString& valueColumn) {
  const QString sql = "SELECT * FROM " + table + " WHERE " + keyColumn + "=?";
  if (!IsKnownColumn(table, keyColumn) || !IsKnownColumn(table, valueColumn)) {
    ShowMessage(OpenFailedMessage(sql, {key}));
    return QString(QLatin1String(""));
  }
  Connection connection;
  Recordset records;
  DbOpenRecordset(connection, records, sql, {key});
  QVariant value = QString(QLatin1String(""));
  if (records.RecordCount() >= 1) value = records.Value(valueColumn);
  DbCloseRecordset(connection, records);
  return value;
}

}  // namespace quenlo
