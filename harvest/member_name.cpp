#include "harvest/member_name.h"

#include "harvest/worker_protocol.h"

namespace quenlo {

QString MemberResultFile(const QString& member) {
  return FromProtocol(pitrel::MemberResultFile(member.toStdString()));
}

}  // namespace quenlo
