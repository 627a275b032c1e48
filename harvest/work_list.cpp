#include "harvest/work_list.h"

#include "harvest/member_name.h"
#include "ports/messenger.h"
#include "store/database.h"

namespace quenlo {

QStringList LoadSafeMembers(const QString& selectMembers) {
  Connection connection;
  Recordset records;
  if (const DbStatus opened = DbOpenRecordset(connection, records, selectMembers); !opened.Ok()) {
    ShowMessage(opened.Message());
  }
  QStringList members;
  for (; records.IsOpen() && !records.Eof(); records.MoveNext()) {
    const QString member = records.Value(0).toString();
    if (IsSafeMemberName(member)) members.append(member);
  }
  DbCloseRecordset(connection, records);
  return members;
}

}  // namespace quenlo
