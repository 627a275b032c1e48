// The record base DATA.mdb: an SQLCipher file keyed with the database
// password, with the tables 地址表 (contacts) and 介绍表 (company profiles).
//
// The operations keep their classic shape (open, use, release), but one
// keyed connection is reused behind them because keying an SQLCipher file is
// slow. Values reach SQLite only as bound parameters ("?" placeholders);
// identifiers that are spliced into SQL text must come from the program's own
// column tables (see IsKnownTable / IsKnownColumn).
//
// Errors are values: every operation that can fail returns a DbStatus holding
// the text for the user, and its caller decides what to show. The store shows
// nothing and throws nothing at its callers; only reading a field a recordset
// does not have, or with no current row, throws std::out_of_range, as a
// container does for an index it does not hold.
// Window thread only.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <memory>

#include "store/db_status.h"

namespace quenlo {

inline constexpr char kDatabaseFileName[] = "DATA.mdb";
inline constexpr char kDatabasePassword[] = "58203146";
inline const QString kContactTable = QStringLiteral("地址表");
inline const QString kProfileTable = QStringLiteral("介绍表");

// Where DATA.mdb lives: QUENLO_DATA_DIR when set; otherwise the directory of
// the running executable when it holds a record base and can be written (a
// build folder, a portable copy); otherwise UserDataDirectory().
QString DataDirectory();
QString DatabasePath();
// The user's own record-base folder: $XDG_DATA_HOME/quenlo, else
// ~/.local/share/quenlo.
QString UserDataDirectory();
// At an installed quenlo's first start: makes an empty record base when the
// base belongs in UserDataDirectory() and is not there yet. *created says
// whether this call made it; nothing happens in any other case.
DbStatus CreateUserRecordBaseIfMissing(bool* created);

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
  // QVariant. Throws std::out_of_range for an unknown field or when there is
  // no current row.
  QVariant Value(const QString& field) const;
  QVariant Value(int index) const;
  // Deletes the current row from its table; the recordset stays on it (as a
  // deleted row) until it moves.
  DbStatus DeleteCurrent();

 private:
  friend class RecordsetAccess;
  std::unique_ptr<RecordsetImpl> impl_;
};

// Opens the handle on the shared connection.
DbStatus DbConnect(Connection& connection);
// Whether the base can be opened now; the reason says why not (missing, not
// a record base, read-only, locked).
DbStatus DbCheckConnection();
// Reads the rows of one SELECT into records and moves to the first. A failure
// leaves records closed and reports the statement with its values.
DbStatus DbOpenRecordset(Connection& connection, Recordset& records, const QString& sql,
                         const QVariantList& params = {});
void DbCloseRecordset(Connection& connection, Recordset& records);
// Runs one statement that returns no rows.
DbStatus DbExecute(const QString& sql, const QVariantList& params = {});
// Sets *value to valueColumn of the first row of table whose keyColumn equals
// key, or to an empty text when there is none or the lookup fails.
DbStatus DbLookup(const QString& table, const QVariant& key, const QString& keyColumn,
                  const QString& valueColumn, QVariant* value);
// Keeps, of every key, the row first in (key, order) order; deletes the rest.
// All or nothing: after a failure every row is still there.
DbStatus DbRemoveDuplicates(const QString& table, const QString& keyColumn,
                            const QString& orderColumn);

// Releases the shared keyed connection unless a transaction is open on it
// (tests that swap QUENLO_DATA_DIR call it).
void DbReleaseSharedConnection();

// Groups the statements run between Begin() and Commit() (DbExecute,
// DeleteCurrent, ...) into one transaction: much faster than one commit per
// row, and all or nothing. Destroyed without a successful Commit() it undoes
// them. Nests. The outermost one takes the base's write lock at Begin(), so
// another process writing at the same time waits for it, and it for them.
class DbTransaction {
 public:
  DbTransaction();
  ~DbTransaction();
  DbTransaction(const DbTransaction&) = delete;
  DbTransaction& operator=(const DbTransaction&) = delete;
  DbStatus Begin();
  // Keeps what ran since Begin(); when the commit fails it is undone.
  DbStatus Commit();

 private:
  std::shared_ptr<ConnectionImpl> connection_;
  QString savepoint_;
  bool open_ = false;
};

// Creates DIR/DATA.mdb from the schema unless it exists.
DbStatus CreateDatabase(const QString& directory);

}  // namespace quenlo
