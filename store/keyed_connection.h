// One open, keyed SQLCipher connection to DATA.mdb, plus what is needed to
// notice that the file behind it was deleted or replaced. Internal to the store.
#pragma once

#include <sqlite3.h>

#include <QString>
#include <QVariantList>
#include <optional>

namespace quenlo {

// Which file a path named when it was last looked at: device, inode and
// status-change time, so a deleted-and-recreated file counts as another one.
struct FileIdentity {
  unsigned long long device = 0;
  unsigned long long inode = 0;
  long long changeSeconds = 0;
  long long changeNanoseconds = 0;
  bool operator==(const FileIdentity&) const = default;
};
std::optional<FileIdentity> IdentityOf(const QString& path);

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
  bool StillMatchesFile() const;
  // Our own writes may change the file's status time; remember it anew.
  void NoteOwnWrites();

  // Runs one statement that returns no rows; throws DbError.
  void Execute(const QString& sql, const QVariantList& params = {});

 private:
  ConnectionImpl(sqlite3* db, QString path);

  sqlite3* db_;
  QString path_;
  std::optional<FileIdentity> identity_;
};

// Keys a freshly opened handle with the database password.
int KeyWithPassword(sqlite3* db);

}  // namespace quenlo
