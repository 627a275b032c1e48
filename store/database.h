// The record base DATA.mdb: an SQLCipher file keyed with the database
// password, with the tables 地址表 (contacts) and 介绍表 (company profiles).
//
// The six operations keep their classic shape (open, use, release), but one
// keyed connection is reused behind them because keying an SQLCipher file is
// slow. Values reach SQLite only as bound parameters ("?" placeholders);
// identifiers that are spliced into SQL text must come from the program's own
// column tables (see IsKnownTable / IsKnownColumn).
//
// Failures to connect or open are reported through the active Messenger with
// the fixed texts; DbExecute and DbTransaction throw DbError instead (the
// connection failure's text included), which their callers report.
// Window thread only.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <memory>
#include <stdexcept>

namespace quenlo {

inline constexpr char kDatabaseFileName[] = "DATA.mdb";
inline constexpr char kDatabasePassword[] = "58203146";
inline const QString kContactTable = QStringLiteral("地址表");
inline const QString kProfileTable = QStringLiteral("介绍表");

struct DbError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// QUENLO_DATA_DIR when set, otherwise the directory of the running executable.
QString DataDirectory();
QString DatabasePath();

// Identifiers of the two tables and their columns, for checking spliced names.
bool IsKnownTable(const QString& table);
bool IsKnownColumn(const QString& table, const QString& column);

class ConnectionImpl;
class RecordsetImpl;

// A connection handle. Empty until DbConnect/DbOpenRecordset opens it.
class Connection {
 public:
  Connection();
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  bool IsOpen() const;

 private:
  friend class ConnectionAccess;
  std::shared_ptr<ConnectionImpl> impl_;
};

// A recordset over the rows of one SELECT: knows its record count, moves both
// ways, reads fields by name or index, deletes its current row.
class Recordset {
 public:
  Recordset();
  ~Recordset();
  Recordset(const Recordset&) = delete;
  Recordset& operator=(const Recordset&) = delete;

  bool IsOpen() const;
  int RecordCount() const;  // 0 when not open
  bool Eof() const;         // past the last row (true when not open or empty)
  bool Bof() const;         // before the first row
  void MoveFirst();
  void MoveLast();
  void MoveNext();
  void MovePrevious();

  int FieldCount() const;
  QString FieldName(int index) const;
  int FieldIndex(const QString& name) const;  // -1 when absent
  // Value of a field in the current row; a stored NULL comes back as a null
  // QVariant. Throws DbError for an unknown field or when there is no current row.
  QVariant Value(const QString& field) const;
  QVariant Value(int index) const;
  // Deletes the current row from its table; the recordset stays on it (as a
  // deleted row) until it moves. Throws DbError when the delete fails.
  void DeleteCurrent();

 private:
  friend class RecordsetAccess;
  std::unique_ptr<RecordsetImpl> impl_;
};

void DbConnect(Connection& connection);
// Why the base cannot be opened now (missing, not a record base, read-only,
// locked), or an empty text when it can. Shows nothing.
QString DbConnectionProblem();
void DbOpenRecordset(Connection& connection, Recordset& records, const QString& sql,
                     const QVariantList& params = {});
void DbCloseRecordset(Connection& connection, Recordset& records);
// Runs one statement that returns no rows. Throws DbError when it fails or
// when there is no connection; shows nothing itself.
void DbExecute(const QString& sql, const QVariantList& params = {});
// Value of valueColumn in the first row of table whose keyColumn equals key,
// or an empty text when there is none.
QVariant DbLookup(const QString& table, const QVariant& key, const QString& keyColumn,
                  const QString& valueColumn);
// Keeps, of every key, the row first in (key, order) order; deletes the rest.
void DbRemoveDuplicates(const QString& table, const QString& keyColumn, const QString& orderColumn);

// Releases the shared keyed connection (tests that swap QUENLO_DATA_DIR call it).
void DbReleaseSharedConnection();

// Groups the statements run while it lives (DbExecute, DeleteCurrent, ...)
// into one transaction: much faster than one commit per row, and all or
// nothing. Destroyed without Commit() it undoes them. Nests.
class DbTransaction {
 public:
  // Throws DbError (after the connection message) when the base cannot be reached.
  DbTransaction();
  ~DbTransaction();
  DbTransaction(const DbTransaction&) = delete;
  DbTransaction& operator=(const DbTransaction&) = delete;
  // Throws DbError when the commit fails; the statements are undone then.
  void Commit();

 private:
  std::shared_ptr<ConnectionImpl> connection_;
  QString savepoint_;
  bool open_ = false;
};

// Creates DIR/DATA.mdb from the schema unless it exists. Returns false with a
// reason in *error when it cannot.
bool CreateDatabase(const QString& directory, QString* error);

}  // namespace quenlo
