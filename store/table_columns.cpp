#include "store/table_columns.h"

#include <sqlite3.h>

#include <QHash>

#include "store/database.h"
#include "store/schema_text.h"
#include "store/sqlite_statement.h"

namespace quenlo {
namespace {

using ColumnsByTable = QHash<QString, QStringList>;

// Runs the schema in a throw-away in-memory database and asks it for the
// columns, so the schema file stays the one place that names them.
ColumnsByTable ReadSchemaColumns() {
  ColumnsByTable columns;
  sqlite3* db = nullptr;
  if (sqlite3_open(":memory:", &db) == SQLITE_OK &&
      sqlite3_exec(db, kSchemaSql, nullptr, nullptr, nullptr) == SQLITE_OK) {
    SqliteStatement tables(db,
                           QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' AND "
                                          "name NOT LIKE 'sqlite_%'"));
    while (tables.Step()) {
      const QString table = tables.Value(0).toString();
      SqliteStatement info(db, QStringLiteral("PRAGMA table_info(\"%1\")").arg(table));
      while (info.Step()) columns[table] << info.Value(1).toString();
    }
  }
  sqlite3_close(db);
  return columns;
}

const ColumnsByTable& SchemaColumns() {
  static const ColumnsByTable columns = ReadSchemaColumns();
  return columns;
}

// SQL names ignore the case of ASCII letters.
QString FindTable(const QString& table) {
  for (auto it = SchemaColumns().cbegin(); it != SchemaColumns().cend(); ++it) {
    if (it.key().compare(table, Qt::CaseInsensitive) == 0) return it.key();
  }
  return {};
}

}  // namespace

QStringList TableColumns(const QString& table) {
  const QString known = FindTable(table);
  return known.isEmpty() ? QStringList() : SchemaColumns().value(known);
}

bool IsKnownTable(const QString& table) { return !FindTable(table).isEmpty(); }

bool IsKnownColumn(const QString& table, const QString& column) {
  return TableColumns(table).contains(column, Qt::CaseInsensitive);
}

}  // namespace quenlo
