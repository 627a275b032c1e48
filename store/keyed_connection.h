// One open, keyed SQLCipher connection to DATA.mdb, plus what is needed to
// notice that the file behind it was deleted or replaced. Internal to the store.
#pragma once

#include <sqlite3.h>

#include <QString>
#include <QVariantList>
#include <optional>

#include "store/file_identity.h"

namespace quenlo {

class ConnectionImpl {
 public:
  ~ConnectionImpl();
  ConnectionImpl(const ConnectionImpl&) = delete;
  ConnectionImpl& operator=(const ConnectionImpl&) = delete;

  // Opens an existing file (never creates one), keys it and proves the key
  // with a first query. Null with a reason in *error when any step fails.
  static std::unique_ptr<ConnectionImpl> Open(const QString& path, QString* error);

  sqlite3* Handle() const { return db_; }
  const QString& Path() const { return path_; }
  // True while the path still names the file this connection opened.
  bool StillNamesItsFile() const;
  // A transaction or a statement is open: the connection is in use.
  bool HasWorkInProgress() const;

  // Runs one statement that returns no rows; throws DbError.
  void Execute(const QString& sql, const QVariantList& params = {});

 private:
  ConnectionImpl(sqlite3* db, QString path);

  sqlite3* db_;
  QString path_;
  // An open connection keeps its file's inode from being reused, so a deleted
  // and recreated base always counts as another file.
  std::optional<FileIdentity> identity_;
};

// Keys a freshly opened handle with the database password.
int KeyWithPassword(sqlite3* db);

}  // namespace quenlo
