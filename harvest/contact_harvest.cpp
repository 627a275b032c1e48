#include "harvest/contact_harvest.h"

#include "harvest/dispatch_pass.h"
#include "harvest/marketplace_urls.h"
#include "harvest/member_pages.h"
#include "harvest/member_name.h"
#include "harvest/work_list.h"
#include "harvest/worker_launcher.h"
#include "harvest/worker_protocol.h"
#include "ports/messenger.h"
#include "ports/progress_sink.h"
#include "store/database.h"
#include "store/marketplace_settings.h"

namespace quenlo {

namespace {
constexpr int kContactFields = 10;  // what a contact page's worker writes
constexpr int kStoredTags = 2;      // put in front of them to store: a trade word, the member
}  // namespace

QStringList LoadContactWorkList() {
  return LoadSafeMembers(QStringLiteral("SELECT AName FROM 地址表 WHERE CName=''"));
}

DbStatus StoreContact(const QString& taggedResult) {
  const QStringList p = taggedResult.split(kFieldSeparator);
  // A contact result has exactly ten fields after the two tags. Anything else
  // is not one: a profile harvest running beside this one writes the same
  // result name, and its eighteen fields would fill the company name and the
  // rest with profile text, after which the member would never be fetched again.
  if (p.size() != kStoredTags + kContactFields) return {};
  return DbExecute(QStringLiteral("UPDATE 地址表 SET CName=?,CAddr=?,CPC=?,CUrl=?,RFax=?,RName=?,"
                                  "RMob=?,RPhone=?,RSex=?,RJob=? WHERE AName=?"),
                   {p[3], p[2], p[5], p[4], p[6], p[11], p[7], p[8], p[10], p[9], p[1]});
}

ContactHarvestOutcome HarvestContacts(HarvestHooks& hooks) {
  ContactHarvestOutcome outcome;
  hooks.enterRunning();
  ProgressBegin(kContactHarvestCaption, 1);

  QString reason;
  const QStringList members = LoadContactWorkList();
  outcome.members = int(members.size());
  if (members.isEmpty()) {
    ShowMessage(kNoContactsToFetch);
  } else if (!hooks.launcher->Ready(&reason)) {
    ShowMessage(reason);
    outcome.end = HarvestEnd::WorkerMissing;
  } else {
    ProgressBegin(kContactHarvestCaption, outcome.members + 1);
    DispatchTable table(outcome.members);
    DispatchRules rules;
    rules.workerFlag = pitrel::kContactFlag;
    rules.deleteStaleFile = true;
    const QString host = MarketplaceHostsInForce().main;
    auto units = [&](int k) {
      const QString& member = members[k - 1];
      return WorkUnit{BuildContactUrl(member), MemberResultFile(member), host, member};
    };
    auto store = [&](int k, const QString& text) {
      const QString& member = members[k - 1];
      const QStringList fields = text.split(kFieldSeparator);
      if (fields.size() == kContactFields && !fields[1].trimmed().isEmpty()) ++outcome.filled;
      return StoreContact(QStringLiteral("家具") + kFieldSeparator + member + kFieldSeparator +
                          text);
    };
    Dispatcher dispatcher(rules, units, table, hooks, store);
    dispatcher.OnCollected([&](int done) {
      hooks.showStatus(QStringLiteral("已下载会员地址数：") + QString::number(done));
    });
    RunMemberPages(outcome, dispatcher, table, QStringLiteral("contacts"));
  }
  EndMemberPages(outcome, hooks);
  return outcome;
}

}  // namespace quenlo
