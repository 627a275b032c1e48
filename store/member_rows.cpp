#include "store/member_rows.h"

#include "store/database.h"
#include "store/member_name.h"
#include "store/table_columns.h"

namespace quenlo {
namespace {

QString InsertStatement(const StoredRows& stored) {
  const QStringList markers(stored.columns.size(), QStringLiteral("?"));
  return "INSERT INTO " + stored.table + "(" + stored.columns.join(u',') + ") VALUES(" +
         markers.join(u',') + ")";
}

// Whether a row of either table carries the name; *taken is left alone on failure.
DbStatus NameInUse(const QString& name, bool* taken) {
  Connection connection;
  Recordset records;
  const DbStatus opened = DbOpenRecordset(
      connection, records,
      "SELECT ID FROM " + kContactTable + " WHERE AName=? UNION ALL SELECT ID FROM " +
          kProfileTable + " WHERE AName=?",
      {name, name});
  if (opened.Ok()) *taken = records.RecordCount() > 0;
  DbCloseRecordset(connection, records);
  return opened;
}

DbStatus RenameInBothTables(const QString& from, const QString& to) {
  for (const QString& table : {kContactTable, kProfileTable}) {
    const DbStatus renamed = DbExecute("UPDATE " + table + " SET AName=? WHERE AName=?", {to, from});
    if (!renamed.Ok()) return renamed;
  }
  return {};
}

}  // namespace

DbStatus DbReadMemberRows(const QString& table, const QString& member, StoredRows* rows) {
  if (!IsKnownTable(table)) return DbStatus::Failed(QStringLiteral("没有这个表：") + table);
  // A base out of reach says so, rather than naming the query.
  if (const DbStatus reachable = DbCheckConnection(); !reachable.Ok()) return reachable;
  rows->table = table;
  rows->columns = TableColumns(table);
  Connection connection;
  Recordset records;
  const DbStatus opened = DbOpenRecordset(
      connection, records, "SELECT " + rows->columns.join(u',') + " FROM " + table + " WHERE AName=?",
      {member});
  for (; opened.Ok() && !records.Eof(); records.MoveNext()) {
    QVariantList values;
    for (int i = 0; i < records.FieldCount(); ++i) values << records.Value(i);
    rows->rows.push_back(values);
  }
  DbCloseRecordset(connection, records);
  return opened;
}

DbStatus DbRestoreRows(const StoredRows& stored) {
  if (stored.rows.empty()) return {};
  if (!IsKnownTable(stored.table) || stored.columns != TableColumns(stored.table))
    return DbStatus::Failed(QStringLiteral("没有这个表：") + stored.table);
  DbTransaction all;
  DbStatus status = all.Begin();
  for (const QVariantList& row : stored.rows) {
    if (status.Ok()) status = DbExecute(InsertStatement(stored), row);
  }
  return status.Ok() ? all.Commit() : status;
}

DbStatus DbRenameMember(const QString& from, const QString& to) {
  if (from == to) return {};
  if (!IsSafeMemberName(to)) {
    return DbStatus::Failed(
        QStringLiteral("会员编号“%1”不能使用：会员编号由最多 %2 个英文字母、数字或符号组成，"
                       "不含空格、“..”和 / \\ : * ? \" < > |。")
            .arg(to)
            .arg(kMaxMemberNameLength));
  }
  DbTransaction both;
  if (const DbStatus begun = both.Begin(); !begun.Ok()) return begun;
  bool taken = false;
  if (const DbStatus looked = NameInUse(to, &taken); !looked.Ok()) return looked;
  if (taken) return DbStatus::Failed(QStringLiteral("会员编号“%1”已被另一条记录使用。").arg(to));
  if (const DbStatus renamed = RenameInBothTables(from, to); !renamed.Ok()) return renamed;
  return both.Commit();
}

}  // namespace quenlo
