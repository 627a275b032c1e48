#include "harvest/profile_harvest.h"

#include "harvest/dispatch_pass.h"
#include "harvest/member_name.h"
#include "harvest/member_pages.h"
#include "harvest/work_list.h"
#include "harvest/worker_launcher.h"
#include "harvest/worker_protocol.h"
#include "ports/messenger.h"
#include "ports/progress_sink.h"
#include "store/database.h"
#include "store/marketplace_settings.h"

namespace quenlo {

namespace {
constexpr int kReadPauseTicks = 100;
constexpr int kLastProfilePart = 18;

// A page that could not be loaded gives the profile's first marker and
// nothing else; a directory entry or any filled field shows a page was read.
bool IsReadProfile(const QString& result) {
  const QStringList fields = result.split(kFieldSeparator);
  if (fields.value(0) == QStringLiteral("公司黄页")) return true;
  for (qsizetype i = 1; i < fields.size(); ++i)
    if (!fields[i].trimmed().isEmpty()) return true;
  return false;
}

}  // namespace

QStringList LoadProfileWorkList() {
  return LoadSafeMembers(QStringLiteral("SELECT AName FROM 介绍表 WHERE Intro=''"));
}

DbStatus StoreProfile(const QString& taggedResult) {
  QStringList p = taggedResult.split(kFieldSeparator);
  while (p.size() <= kLastProfilePart) p.append(QString());
  return DbExecute(
      QStringLiteral("UPDATE 介绍表 SET Score=?,BA=?,RV=?,MKT=?,RDate=?,RAddr=?,RCap=?,"
                     "RMode=?,Field=?,Model=?,Prod=?,SNum=?,Intro=? WHERE AName=?"),
      {p[4], p[6], p[7], p[8], p[10], p[12], p[3], p[15], p[16], p[14], p[17], p[11], p[18], p[0]});
}

ProfileHarvestOutcome HarvestProfiles(HarvestHooks& hooks) {
  ProfileHarvestOutcome outcome;
  hooks.enterRunning();
  const QStringList members = LoadProfileWorkList();
  outcome.members = int(members.size());
  ProgressBegin(kProfileHarvestCaption, outcome.members);

  QString reason;
  if (!members.isEmpty() && !hooks.launcher->Ready(&reason)) {
    ShowMessage(reason);
    outcome.end = HarvestEnd::WorkerMissing;
  } else if (!members.isEmpty()) {
    DispatchTable table(outcome.members);
    DispatchRules rules;
    rules.workerFlag = pitrel::kProfileFlag;
    rules.deleteStaleFile = false;  // a result already there is taken as this member's
    rules.readPauseTicks = kReadPauseTicks;
    const QString host = MarketplaceHostsInForce().main;
    auto units = [&](int k) {
      const QString& member = members[k - 1];
      return WorkUnit{member, MemberResultFile(member), host, member};
    };
    auto store = [&](int k, const QString& text) {
      const QString& member = members[k - 1];
      if (IsReadProfile(text)) ++outcome.filled;
      return StoreProfile(member + kFieldSeparator + text);
    };
    Dispatcher dispatcher(rules, units, table, hooks, store);
    RunMemberPages(outcome, dispatcher, table, QStringLiteral("profiles"));
  }
  EndMemberPages(outcome, hooks);
  return outcome;
}

}  // namespace quenlo
