#include "store/keyed_connection.h"

#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <memory>

#include "store/database.h"
#include "store/db_error.h"
#include "store/sqlite_statement.h"

namespace quenlo {
namespace {

// Short locks held by another process are waited out instead of failing.
constexpr int kBusyTimeoutMs = 5000;

}  // namespace

int KeyWithPassword(sqlite3* db) {
  return sqlite3_key(db, kDatabasePassword, int(sizeof kDatabasePassword - 1));
}

ConnectionImpl::ConnectionImpl(sqlite3* db, QString path) : db_(db), path_(std::move(path)) {}

ConnectionImpl::~ConnectionImpl() { sqlite3_close_v2(db_); }

std::unique_ptr<ConnectionImpl> ConnectionImpl::Open(const QString& path, QString* error) {
  const std::optional<FileIdentity> identity = IdentityOfRegularFile(path);
  if (!identity) {
    *error = QStringLiteral("%1 does not exist or is not a file").arg(path);
    return nullptr;
  }
  // The journal files beside the base take the base's own mode: opened from
  // a read-only file or folder they would stay behind read-only and lock
  // every later opening out, even once the base is writable again.
  const QByteArray native = QFile::encodeName(path);
  const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
  if (::access(native.constData(), W_OK) != 0 || ::access(folder.constData(), W_OK) != 0) {
    *error = QStringLiteral("%1 or its folder cannot be written").arg(path);
    return nullptr;
  }
  sqlite3* db = nullptr;
  // Without SQLITE_OPEN_CREATE: a missing file must fail, not become an empty database.
  const int code = sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
  std::unique_ptr<ConnectionImpl> connection(new ConnectionImpl(db, path));
  if (code != SQLITE_OK) {
    *error = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(code));
    return nullptr;
  }
  try {
    if (KeyWithPassword(db) != SQLITE_OK) throw DbError("the database cannot be keyed");
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    // A wrong key or a file that is no database only shows at the first read.
    // An empty file reads as an empty database, and writing would make it
    // one: without both tables it is no record base.
    SqliteStatement probe(db,
                          QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='table' "
                                         "AND name IN ('地址表', '介绍表')"));
    probe.Step();
    if (probe.Value(0).toInt() != 2)
      throw DbError("the file is not a record base (its tables are missing)");
  } catch (const DbError& failure) {
    *error = QString::fromUtf8(failure.what());
    return nullptr;
  }
  // WAL with NORMAL sync: a commit survives a crash of the program without an
  // fsync per row. A read-only file keeps its journal mode; that is fine.
  sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
  sqlite3_exec(db, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
  // Taken before the opening: a file swapped in meanwhile then shows as a
  // change and is reopened, never mistaken for the one first looked at.
  connection->identity_ = identity;
  return connection;
}

bool ConnectionImpl::StillNamesItsFile() const {
  const std::optional<FileIdentity> now = IdentityOfRegularFile(path_);
  return now && identity_ && *now == *identity_;
}

bool ConnectionImpl::HasWorkInProgress() const {
  return !sqlite3_get_autocommit(db_) || sqlite3_next_stmt(db_, nullptr) != nullptr;
}

void ConnectionImpl::Execute(const QString& sql, const QVariantList& params) {
  SqliteStatement statement(db_, sql);
  statement.Bind(params);
  while (statement.Step()) {
  }
}

}  // namespace quenlo
