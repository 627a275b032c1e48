// CreateDatabase: a fresh, keyed DATA.mdb with the empty tables. The file is
// built under a temporary name and linked into place only when complete, and
// an existing record base is never overwritten.
#include <sqlite3.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include "store/database.h"
#include "store/keyed_connection.h"
#include "store/schema_text.h"

namespace quenlo {
namespace {

bool WriteSchema(const QString& path, QString* error) {
  sqlite3* db = nullptr;
  int code = sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (code == SQLITE_OK) code = KeyWithPassword(db);
  char* message = nullptr;
  if (code == SQLITE_OK) code = sqlite3_exec(db, kSchemaSql, nullptr, nullptr, &message);
  if (code == SQLITE_OK) {
    code = sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, &message);
  }
  if (code != SQLITE_OK) {
    *error = QString::fromUtf8(message ? message : db ? sqlite3_errmsg(db) : sqlite3_errstr(code));
  }
  sqlite3_free(message);
  // Closing the last connection folds the journal back into the file.
  if (sqlite3_close(db) != SQLITE_OK && code == SQLITE_OK) {
    *error = QStringLiteral("the new database could not be closed");
    return false;
  }
  return code == SQLITE_OK;
}

}  // namespace

DbStatus CreateDatabase(const QString& directory) {
  const QString target = QDir(directory).filePath(QString::fromLatin1(kDatabaseFileName));
  if (QFileInfo::exists(target)) {
    return DbStatus::Failed(QStringLiteral("数据库文件已存在，未作改动：") +
                            QDir::toNativeSeparators(target));
  }
  if (!QDir().mkpath(directory)) {
    return DbStatus::Failed(QStringLiteral("无法创建目录：") + QDir::toNativeSeparators(directory));
  }
  QTemporaryFile building(QDir(directory).filePath(QStringLiteral("DATA.mdb.XXXXXX")));
  if (!building.open()) {
    return DbStatus::Failed(QStringLiteral("无法在目录中写入文件：") +
                            QDir::toNativeSeparators(directory));
  }
  building.close();
  QString reason;
  if (!WriteSchema(building.fileName(), &reason)) {
    return DbStatus::Failed(QStringLiteral("无法创建数据库：") + reason);
  }
  // link() fails instead of replacing a file that appeared meanwhile.
  if (::link(QFile::encodeName(building.fileName()).constData(),
             QFile::encodeName(target).constData()) != 0) {
    return DbStatus::Failed(QStringLiteral("无法写入数据库文件：") +
                            QDir::toNativeSeparators(target));
  }
  return {};
}

}  // namespace quenlo
