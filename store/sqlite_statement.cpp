#include "store/sqlite_statement.h"

#include "store/database.h"
#include "store/db_error.h"

namespace quenlo {
namespace {

QString ErrorText(sqlite3* db, int code) {
  const char* message = db ? sqlite3_errmsg(db) : sqlite3_errstr(code);
  return QString::fromUtf8(message ? message : sqlite3_errstr(code));
}

bool OnlyBlanksOrSemicolons(const char* text) {
  for (; text && *text; ++text) {
    const unsigned char c = static_cast<unsigned char>(*text);
    if (c != ';' && c != ' ' && c != '\t' && c != '\r' && c != '\n') return false;
  }
  return true;
}

QString FromUtf8Column(const unsigned char* text, int bytes) {
  return QString::fromUtf8(reinterpret_cast<const char*>(text), bytes);
}

}  // namespace

SqliteStatement::SqliteStatement(sqlite3* db, const QString& sql) : db_(db) {
  const QByteArray utf8 = sql.toUtf8();
  const char* tail = nullptr;
  const int code = sqlite3_prepare_v2(db_, utf8.constData(), int(utf8.size()), &statement_, &tail);
  if (code != SQLITE_OK) Fail(code);
  if (!statement_) throw DbError("empty SQL statement");
  if (!OnlyBlanksOrSemicolons(tail)) {
    // The destructor does not run for a throwing constructor.
    sqlite3_finalize(statement_);
    throw DbError("only one SQL statement may be run at a time");
  }
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(statement_); }

void SqliteStatement::Fail(int code) const { throw DbError(ErrorText(db_, code).toStdString()); }

int BindValue(sqlite3_stmt* statement, int position, const QVariant& value) {
  switch (value.typeId()) {
    case QMetaType::UnknownType:
    case QMetaType::Nullptr:
      return sqlite3_bind_null(statement, position);
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
      return sqlite3_bind_int64(statement, position, value.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
      return sqlite3_bind_double(statement, position, value.toDouble());
    default:
      break;
  }
  if (value.isNull()) return sqlite3_bind_null(statement, position);
  const QByteArray utf8 = value.toString().toUtf8();
  // A non-null pointer even for "" so that an empty text is stored as '' and not NULL.
  return sqlite3_bind_text(statement, position, utf8.isEmpty() ? "" : utf8.constData(),
                           int(utf8.size()), SQLITE_TRANSIENT);
}

void SqliteStatement::Bind(const QVariantList& values) {
  const int expected = sqlite3_bind_parameter_count(statement_);
  if (expected != values.size()) {
    throw DbError(QStringLiteral("the statement has %1 placeholders but %2 values were given")
                      .arg(expected)
                      .arg(values.size())
                      .toStdString());
  }
  for (int i = 0; i < expected; ++i) {
    const int code = BindValue(statement_, i + 1, values[i]);
    if (code != SQLITE_OK) Fail(code);
  }
}

bool SqliteStatement::Step() {
  const int code = sqlite3_step(statement_);
  if (code == SQLITE_ROW) return true;
  if (code == SQLITE_DONE) return false;
  sqlite3_reset(statement_);
  Fail(code);
}

void SqliteStatement::Reset() {
  sqlite3_reset(statement_);
  sqlite3_clear_bindings(statement_);
}

int SqliteStatement::ColumnCount() const { return sqlite3_column_count(statement_); }

QString SqliteStatement::ColumnName(int column) const {
  return QString::fromUtf8(sqlite3_column_name(statement_, column));
}

QString SqliteStatement::ColumnTable(int column) const {
  return QString::fromUtf8(sqlite3_column_table_name(statement_, column));
}

QString SqliteStatement::ColumnOrigin(int column) const {
  return QString::fromUtf8(sqlite3_column_origin_name(statement_, column));
}

QVariant SqliteStatement::Value(int column) const {
  switch (sqlite3_column_type(statement_, column)) {
    case SQLITE_NULL:
      return QVariant();
    case SQLITE_INTEGER:
      return QVariant(qlonglong(sqlite3_column_int64(statement_, column)));
    case SQLITE_FLOAT:
      return QVariant(sqlite3_column_double(statement_, column));
    case SQLITE_BLOB:
      return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(statement_, column)),
                                 sqlite3_column_bytes(statement_, column)));
    default: {
      // The text pointer first: sqlite3_column_bytes is only valid after it.
      const unsigned char* text = sqlite3_column_text(statement_, column);
      return QVariant(FromUtf8Column(text, sqlite3_column_bytes(statement_, column)));
    }
  }
}

}  // namespace quenlo
