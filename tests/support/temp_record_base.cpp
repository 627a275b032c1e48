#include "tests/support/temp_record_base.h"

#include <QDir>
#include <QFile>

#include "store/database.h"

namespace quenlo::testing {

TempRecordBase::TempRecordBase() {
  EXPECT_TRUE(directory_.isValid());
  // The shared connection may still be open on another test's base.
  DbReleaseSharedConnection();
  PointDataDirectoryAt(directory_.path());
  const DbStatus status = CreateDatabase(directory_.path());
  created_ = status.Ok();
  EXPECT_TRUE(Succeeded(status));
}

TempRecordBase::~TempRecordBase() {
  DbReleaseSharedConnection();
  qunsetenv("QUENLO_DATA_DIR");
}

QString TempRecordBase::File() const {
  return QDir(directory_.path()).filePath(QString::fromLatin1(kDatabaseFileName));
}

void PointDataDirectoryAt(const QString& directory) {
  qputenv("QUENLO_DATA_DIR", QFile::encodeName(directory));
}

::testing::AssertionResult Succeeded(const DbStatus& status) {
  if (status.Ok()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << status.Message().toStdString() << " (" << status.Reason().toStdString() << ")";
}

void RunSql(const QString& sql, const QVariantList& params) {
  EXPECT_TRUE(Succeeded(DbExecute(sql, params))) << sql.toStdString();
}

QStringList ColumnValues(const QString& table, const QString& column, const QString& where,
                         const QVariantList& params) {
  const QString condition = where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where;
  const QString sql = "SELECT " + column + " FROM " + table + condition + " ORDER BY ID";
  Connection connection;
  Recordset records;
  EXPECT_TRUE(Succeeded(DbOpenRecordset(connection, records, sql, params)));
  QStringList values;
  for (; !records.Eof(); records.MoveNext()) values << records.Value(0).toString();
  DbCloseRecordset(connection, records);
  return values;
}

}  // namespace quenlo::testing
