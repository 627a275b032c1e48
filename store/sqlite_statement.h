// A prepared SQLite statement with Qt-typed binding and reading. Internal to
// the store.
#pragma once

#include <sqlite3.h>

#include <QString>
#include <QVariant>
#include <QVariantList>

namespace quenlo {

class SqliteStatement {
 public:
  // Prepares exactly one statement; throws DbError when SQLite rejects the
  // text or when anything but blanks and a semicolon follows the statement.
  SqliteStatement(sqlite3* db, const QString& sql);
  ~SqliteStatement();
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  // Binds the values in order to the "?" placeholders; throws DbError when
  // their number differs from the placeholders'.
  void Bind(const QVariantList& values);
  // Advances to the next row; false when done. Throws DbError on failure.
  bool Step();
  void Reset();

  int ColumnCount() const;
  QString ColumnName(int column) const;
  QString ColumnTable(int column) const;   // empty for computed columns
  QString ColumnOrigin(int column) const;  // the table column behind it, if any
  QVariant Value(int column) const;
  sqlite3_stmt* Handle() const { return statement_; }

 private:
  [[noreturn]] void Fail(int code) const;

  sqlite3* db_;
  sqlite3_stmt* statement_ = nullptr;
};

// Binds one value; texts go in as UTF-8, a null QVariant as NULL.
int BindValue(sqlite3_stmt* statement, int position, const QVariant& value);

}  // namespace quenlo
