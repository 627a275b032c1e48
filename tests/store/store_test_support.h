// A fresh record base in a temporary directory, QUENLO_DATA_DIR pointing at
// it, and a messenger that records what the store tells the user.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdlib>

#include "ports/messenger.h"
#include "store/database.h"

namespace quenlo {

class RecordingMessenger : public Messenger {
 public:
  void ShowMessage(const QString& text) override { shown << text; }
  bool AskYesNo(const QString& text) override {
    shown << text;
    return false;
  }
  QStringList shown;
};

class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(directory_.isValid());
    QString error;
    ASSERT_TRUE(CreateDatabase(directory_.path(), &error)) << error.toStdString();
    PointDataDirectoryAt(directory_.path());
    SetActiveMessenger(&messenger_);
  }
  void TearDown() override {
    SetActiveMessenger(nullptr);
    DbReleaseSharedConnection();
    unsetenv("QUENLO_DATA_DIR");
  }

  static void PointDataDirectoryAt(const QString& path) {
    setenv("QUENLO_DATA_DIR", QFile::encodeName(path).constData(), 1);
  }
  QString DataFile() const { return directory_.filePath(QStringLiteral("DATA.mdb")); }

  // All values of one column of a table, in ID order.
  static QStringList Column(const QString& table, const QString& column) {
    Connection connection;
    Recordset records;
    DbOpenRecordset(connection, records, "SELECT " + column + " FROM " + table + " ORDER BY ID");
    QStringList values;
    for (; !records.Eof(); records.MoveNext()) values << records.Value(0).toString();
    DbCloseRecordset(connection, records);
    return values;
  }

  QTemporaryDir directory_;
  RecordingMessenger messenger_;
};

}  // namespace quenlo

// Readable failure messages for Qt texts.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE
