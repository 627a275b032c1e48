// A fresh, empty record base in a temporary directory, made the one the store
// uses (QUENLO_DATA_DIR) while it lives, and the few statements tests run on
// it. A failing statement fails the test with the store's own message.
#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantList>

#include "store/db_status.h"

namespace quenlo::testing {

class TempRecordBase {
 public:
  TempRecordBase();
  ~TempRecordBase();

  bool Created() const { return created_; }
  QString Directory() const { return directory_.path(); }
  QString File() const;  // DATA.mdb in Directory()

 private:
  QTemporaryDir directory_;
  bool created_ = false;
};

// Makes directory the store's data directory.
void PointDataDirectoryAt(const QString& directory);

// For EXPECT_TRUE / ASSERT_TRUE: a failure prints the status's message.
::testing::AssertionResult Succeeded(const DbStatus& status);

// Runs one statement a test needs.
void RunSql(const QString& sql, const QVariantList& params = {});

// The values of one column of table in ID order, of the rows that where (a
// condition with "?" markers for params) selects; every row when empty.
QStringList ColumnValues(const QString& table, const QString& column, const QString& where = {},
                         const QVariantList& params = {});

}  // namespace quenlo::testing
