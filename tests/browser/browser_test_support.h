// Shared pieces of the record-browser tests: a real record base in a
// temporary directory with a few ways of filling and reading its address
// table, and the recording doubles of the ports.
#pragma once

#include <gtest/gtest.h>

#include <QStringList>

#include "store/database.h"
#include "tests/support/recording_messenger.h"
#include "tests/support/recording_progress.h"
#include "tests/support/temp_record_base.h"

namespace quenlo::testing {

// A fresh DATA.mdb in a temporary directory, made the one the store uses.
class TempDatabase : public TempRecordBase {
 public:
  // Members m1..mN with the company "公司<i>", in one transaction.
  static void AddMembers(int count, const QString& prefix = QStringLiteral("m")) {
    RunSql(QStringLiteral("BEGIN"));
    for (int i = 1; i <= count; ++i) {
      AddContact(prefix + QString::number(i), QStringLiteral("公司%1").arg(i));
    }
    RunSql(QStringLiteral("COMMIT"));
  }
  static void AddContact(const QString& member, const QString& company) {
    RunSql(QStringLiteral("INSERT INTO 地址表(AName, CName, CUrl) VALUES(?, ?, ?)"),
           {member, company, QStringLiteral("http://") + member + QStringLiteral(".example")});
  }
  // A row of 介绍表 for member, as the member harvest makes it, with an introduction.
  static void AddProfile(const QString& member, const QString& intro = QString()) {
    RunSql(QStringLiteral("INSERT INTO 介绍表(AName, Intro) VALUES(?, ?)"), {member, intro});
  }
  // Values of column in 介绍表, by ID.
  static QStringList ProfileColumn(const QString& column) {
    return ColumnValues(kProfileTable, column);
  }
  // Values of column in 地址表, by ID.
  static QStringList Column(const QString& column, const QString& where = QString(),
                            const QVariantList& params = {}) {
    return ColumnValues(kContactTable, column, where, params);
  }
};

}  // namespace quenlo::testing
