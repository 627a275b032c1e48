// A fresh record base in a temporary directory, QUENLO_DATA_DIR pointing at
// it, for the tests of the store's operations.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QStringList>

#include "store/database.h"
#include "tests/support/temp_record_base.h"

namespace quenlo {

using testing::PointDataDirectoryAt;
using testing::RunSql;
using testing::Succeeded;

class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(base_.Created()); }

  QString DataFile() const { return base_.File(); }
  QString BaseDirectory() const { return base_.Directory(); }

  // All values of one column of a table, in ID order.
  static QStringList Column(const QString& table, const QString& column) {
    return testing::ColumnValues(table, column);
  }

  testing::TempRecordBase base_;
};

}  // namespace quenlo

// Readable failure messages for Qt texts.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE
