// Changes to a member's rows that the record browser can take back: rows
// kept whole before they are deleted and put back later, and the renaming of
// a member, whose name is the key of both tables. Window thread only.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <vector>

#include "store/db_status.h"

namespace quenlo {

// Rows of one table as they were stored, ID included.
struct StoredRows {
  QString table;
  QStringList columns;             // every column of the table, ID first
  std::vector<QVariantList> rows;  // one value per column
};

// Appends every row of table whose AName is member to *rows (which must be
// empty or hold rows of the same table).
DbStatus DbReadMemberRows(const QString& table, const QString& member, StoredRows* rows);

// Inserts the rows again with their own IDs, all or nothing.
DbStatus DbRestoreRows(const StoredRows& rows);

// Gives the member the name to in 地址表 and 介绍表 together. Refused, with a
// message for the user, when to is not a safe member name or another member
// already holds it in either table; nothing changes then.
DbStatus DbRenameMember(const QString& from, const QString& to);

}  // namespace quenlo
